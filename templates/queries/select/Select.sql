SELECT {table1}.{field1}, {table1}.{field2}
FROM {table1}
WHERE {table1}.{field3} = {value1}
ORDER BY {table1}.{field1};
