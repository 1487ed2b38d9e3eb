"""The full-screen story pictures (intro, outro, game over) and the main
menu's background, drawn with ImageMagick from our own shapes."""
