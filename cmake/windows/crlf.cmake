# Copies a text file with CR LF line ends, for readers on Windows:
#   cmake -DINPUT=FILE -DOUTPUT=FILE -P crlf.cmake
file(READ "${INPUT}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
