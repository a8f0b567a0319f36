TRANSFORM Sum(Orders.Amount) AS Total
SELECT Orders.CustomerID, Sum(Orders.Amount) AS [Total Of Amount]
FROM Orders
GROUP BY Orders.CustomerID
PIVOT Format([OrderDate],"yyyy") IN ("2023", "2024");
