UNION
SELECT {field1}
FROM {table1}
