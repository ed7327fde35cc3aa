// MessageBox
