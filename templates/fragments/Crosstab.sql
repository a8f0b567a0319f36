TRANSFORM Sum({field1}) AS Total
SELECT {field2}
FROM {table1}
GROUP BY {field2}
PIVOT {field3}
