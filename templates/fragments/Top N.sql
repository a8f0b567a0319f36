SELECT TOP 10 {field1}
FROM {table1}
ORDER BY {field1} DESC
