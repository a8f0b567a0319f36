SELECT a, b
FROM t

WHERE a Is Not Null;
