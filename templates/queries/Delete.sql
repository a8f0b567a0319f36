DELETE {table1}.*
FROM {table1}
WHERE {table1}.{field1} = {value1};
