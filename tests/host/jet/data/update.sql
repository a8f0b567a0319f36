UPDATE Products INNER JOIN Suppliers ON Products.SupplierID = Suppliers.SupplierID
SET Products.Price = [Products].[Price] * 1.1, Products.Updated = Date()
WHERE Suppliers.Country = 'France';
