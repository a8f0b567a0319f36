Year({field}) = Year(Date())
