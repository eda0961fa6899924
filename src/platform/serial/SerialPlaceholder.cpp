namespace kt7 {}
