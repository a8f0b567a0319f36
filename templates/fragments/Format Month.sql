Format({field}, 'yyyy-mm')
