SELECT TOP 10 {table1}.*
FROM {table1}
ORDER BY {table1}.{field1} DESC;
