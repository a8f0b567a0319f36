Nz({field}, 0)
