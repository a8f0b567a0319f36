ORDER BY {field1}, {field2} DESC
