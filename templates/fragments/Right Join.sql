RIGHT JOIN {table2} ON {table1}.{field1} = {table2}.{field2}
