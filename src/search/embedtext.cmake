# Writes the text file IN to OUT as a C++ raw string literal.
file(READ ${IN} text)
file(WRITE ${OUT} "R\"scriptfold(${text})scriptfold\"\n")
