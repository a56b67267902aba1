# Turns the --help text of one velquor-cli command into manual-page text: the usage lines
# become a subsection and its synopsis, indented "TERM  text" lines tagged paragraphs, blank
# lines paragraph breaks and the rest prose. Run with -v command=NAME.

function roff(s) {
  gsub(/\\/, "\\e", s)
  gsub(/-/, "\\-", s)
  # A line opening with "[" would name a section of help2man's include file.
  if (s ~ /^[.'[]/) s = "\\&" s
  return s
}

function trim(s) {
  sub(/^ +/, "", s)
  sub(/ +$/, "", s)
  return s
}

NR == 1 && /^usage: / {
  print ".SS \"velquor\\-cli " roff(command) "\""
  print ".nf"
  print roff(trim(substr($0, 8)))
  synopsis = 1
  next
}
synopsis && /^ +[^ ]/ { print roff(trim($0)); next }
synopsis { print ".fi"; synopsis = 0 }

/^ *$/ { print ".PP"; tagged = 0; next }
tagged && /^     +[^ ]/ { print roff(trim($0)); next }
match($0, /^  [^ ]([^ ]| [^ ])*  +/) {
  print ".TP"
  print "\\fB" roff(trim(substr($0, 1, RLENGTH))) "\\fR"
  print roff(substr($0, RLENGTH + 1))
  tagged = 1
  next
}
{ print roff($0); tagged = 0 }
END { if (synopsis) print ".fi" }
