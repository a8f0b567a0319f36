SELECT {table1}.* INTO {table2}
FROM {table1}
WHERE {table1}.{field1} = {value1};
