// Sound
