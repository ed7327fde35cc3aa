// Text8Bit
