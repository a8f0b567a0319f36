Exists (SELECT * FROM {table2} WHERE {table2}.{field2} = {table1}.{field1})
