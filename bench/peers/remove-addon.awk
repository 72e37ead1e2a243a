# Removes an add-on's blocks from Launch.local as Brelmont's uninstall does, written to standard
# output: lines end at CR and lose their LFs, the loader's first line names the add-on, blocks run
# from a line holding the identity key to the next "/ [EOA]", other non-empty lines are kept with
# CR LF, and a leading UTF-8 byte-order mark stays first.
#   LC_ALL=C awk -v loader=Sample.local -f remove-addon.awk Launch.local > new
# Needs an awk that takes a one-character RS literally (mawk, gawk).

function trim(text) {
    sub(/^ +/, "", text)
    sub(/ +$/, "", text)
    return text
}

# Cuts a RegID line "[Name-Rev]"; fills cut["name"] and cut["rev"]; 0 when it does not cut.
function cutRegId(line, cut,    id, p1, p2, p3) {
    id = trim(line)
    p1 = index(id, "[")
    p2 = index(id, "-")
    p3 = index(id, "]")
    if (p2 - p1 - 1 <= 0 || p3 - p2 - 1 < 0) {
        return 0
    }
    cut["name"] = substr(id, p1 + 1, p2 - p1 - 1)
    cut["rev"] = substr(id, p2 + 1, p3 - p2 - 1)
    return 1
}

function isRegIdLineOf(line, name,    cut) {
    return index(line, name) > 0 && cutRegId(line, cut) && cut["name"] == name
}

BEGIN {
    RS = "\r"
    ORS = ""
    bom = "\357\273\277"
    first = ""
    if ((getline first < loader) > 0) {
        if (substr(first, 1, 3) == bom) {
            first = substr(first, 4)
        }
        gsub(/\n/, "", first)
    }
    if (!cutRegId(first, addon)) {
        print "the loader's first line names no add-on\n" > "/dev/stderr"
        exit 2
    }
    name = addon["name"]
    key = addon["name"] "-" addon["rev"]
    inBlock = 0
    kept = 0
}

{
    line = $0
    if (NR == 1 && substr(line, 1, 3) == bom) {
        print bom
        line = substr(line, 4)
    }
    gsub(/\n/, "", line)
    if (isRegIdLineOf(line, name) && index(line, key) > 0) {
        inBlock = 1
    } else if (inBlock) {
        inBlock = index(line, "/ [EOA]") == 0
    } else if (line != "") {
        print line "\r\n"
        kept = 1
    }
}

END {
    if (!kept) {
        print "\r\n"
    }
}
