SELECT {table1}.{field1}, {table2}.{field2}
FROM {table1} INNER JOIN {table2} ON {table1}.{field3} = {table2}.{field3}
ORDER BY {table1}.{field1};
