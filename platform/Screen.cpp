// Screen
