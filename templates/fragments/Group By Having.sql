GROUP BY {field1}
HAVING Count(*) > {value1}
