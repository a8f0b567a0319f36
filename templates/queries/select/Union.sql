SELECT {table1}.{field1}, {table1}.{field2}
FROM {table1}
UNION
SELECT {table2}.{field1}, {table2}.{field2}
FROM {table2}
ORDER BY 1;
