SELECT Orders.OrderID, [Orders].[OrderDate], Customers.*
FROM Customers INNER JOIN Orders ON Customers.CustomerID = Orders.CustomerID
WHERE Orders.OrderDate >= #1/1/2024# AND Customers.Country = "Norway"
ORDER BY [Orders].[OrderDate] DESC, Orders.OrderID;
