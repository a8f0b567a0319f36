DELETE Orders.* FROM Orders WHERE Orders.Cancelled = True;
