PARAMETERS [Start Date] DateTime, [Forms]![Orders]![Customer] Text ( 255 ), Minimum Currency, N Short;
SELECT TOP 10 PERCENT Orders.* FROM Orders
WHERE Orders.OrderDate >= [Start Date] AND Orders.CustomerID = [Forms]![Orders]![Customer] AND Orders.Amount >= Minimum
WITH OWNERACCESS OPTION;
