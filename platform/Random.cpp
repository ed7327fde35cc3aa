// Random
