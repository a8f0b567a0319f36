SELECT T.a,
  T.b
FROM T
WHERE T.a > 1
  AND T.b < 2;

