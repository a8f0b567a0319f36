Year({field})
