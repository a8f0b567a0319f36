SELECT {table1}.{field1}, Count(*) AS CountOfRows, Sum({table1}.{field2}) AS Total
FROM {table1}
GROUP BY {table1}.{field1}
HAVING Count(*) > {value1}
ORDER BY Sum({table1}.{field2}) DESC;
