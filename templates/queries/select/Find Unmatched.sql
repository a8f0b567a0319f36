SELECT {table1}.*
FROM {table1} LEFT JOIN {table2} ON {table1}.{field1} = {table2}.{field1}
WHERE {table2}.{field1} Is Null;
