INSERT INTO History
SELECT Orders.OrderID, [Orders].[Order Date], Amount * 2 AS Doubled, Amount * 3, Null
FROM Orders;
