DELETE {table1}.*
FROM {table1}
WHERE {table1}.{field1} Not In (SELECT {table2}.{field1} FROM {table2} WHERE {table2}.{field1} Is Not Null);
