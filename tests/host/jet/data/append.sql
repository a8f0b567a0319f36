INSERT INTO Archive ( OrderID, [Order Date] )
SELECT Orders.OrderID, Orders.OrderDate FROM Orders WHERE Orders.OrderDate < #2020-01-01#;
