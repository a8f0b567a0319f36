UPDATE {table1} SET {table1}.{field1} = {value1}
WHERE {table1}.{field2} = {value2};
