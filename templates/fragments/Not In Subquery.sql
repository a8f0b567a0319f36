{field1} Not In (SELECT {table2}.{field2} FROM {table2} WHERE {table2}.{field2} Is Not Null)
