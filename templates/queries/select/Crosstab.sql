TRANSFORM Sum({table1}.{field3}) AS Total
SELECT {table1}.{field1}
FROM {table1}
GROUP BY {table1}.{field1}
PIVOT {table1}.{field2};
