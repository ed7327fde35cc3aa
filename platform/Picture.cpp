// Picture
