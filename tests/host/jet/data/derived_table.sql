SELECT X.CustomerID, X.Total
FROM (SELECT CustomerID, Sum(Amount) AS Total FROM Payments GROUP BY CustomerID) AS X
WHERE X.Total > 100;
