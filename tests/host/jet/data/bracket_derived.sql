SELECT Orders.*, Returns.* FROM Orders LEFT JOIN [SELECT ReturnID, OrderID FROM Returns]. AS Returns ON Orders.OrderID = Returns.OrderID;
