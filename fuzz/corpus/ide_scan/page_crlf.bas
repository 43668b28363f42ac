' Counter demo
	' set-up
Dim Counter As Byte
Dim X, Y As Word
Dimmer = 5

Main: ' the start
  Indented:
	Counter = Counter + 1 ' count
GoTo Main
