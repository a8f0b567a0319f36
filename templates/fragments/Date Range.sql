WHERE {field1} Between #1/1/2024# And #12/31/2024#
