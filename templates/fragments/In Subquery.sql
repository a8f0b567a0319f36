{field1} In (SELECT {table2}.{field2} FROM {table2})
