# Summary of a bench/listing: medians per case and round trip, the main rows with their commands, then the list,
# the sorts, the tree and the local disk at each round trip.
# Input: the "sample ..." lines of the listing host and of curl.
# Run with medians.awk: awk -f medians.awk -f summarize-listing.awk samples.txt

function key(rtt, label, tool, what) {
  return rtt SUBSEP label SUBSEP tool SUBSEP what
}

# Median seconds of a case, "" when it was not measured.
function seconds(rtt, label, tool, what,    k) {
  k = key(rtt, label, tool, what)
  return (k in runs) ? median(secs[k]) : ""
}

# A CPU figure, "-" when it was not measured.
function cpu(list,    value) {
  value = median(list)
  return value < 0 ? "-" : sprintf("%.2f", value)
}

# "LIST:3,CWD:5" as "LIST 3, CWD 5".
function readable(verbs) {
  if (verbs == "-" || verbs == "") return "-"
  gsub(/:/, " ", verbs)
  gsub(/,/, ", ", verbs)
  return verbs
}

# One figure of a block: its text, its value and unit.
function figure(text, value, unit) {
  printf "   %-52s %9.3f %s\n", text, value, unit
}

function verdict(value, goal) {
  return value < goal ? "met" : "MISSED"
}

# One of the main rows at every round trip: seconds, commands by verb, how
# many round trips the added delay cost it (its seconds less those at the
# first round trip, over the difference of the round trips), and the longest
# the window left a message unanswered (the control's rows).
function main_row(text, label, tool, what,    r, rtt, k, value, first, firstRtt, paid, stall) {
  first = ""
  for (r = 1; r <= nrtts; ++r) {
    rtt = rtts[r]
    k = key(rtt, label, tool, what)
    if (!(k in runs)) continue
    value = median(secs[k])
    if (first == "") { first = value; firstRtt = rtt }
    paid = (rtt > firstRtt) ? sprintf("%.1f", (value - first) * 1000 / (rtt - firstRtt)) : "-"
    stall = largest(stalls[k])
    printf "%-46s %6s %9.3f %9s %10s %7s  %s\n", text, rtt, value, paid, (stall < 0 ? "-" : sprintf("%.3f", stall)),
      (commands[k] < 0 ? "-" : commands[k]), readable(verbs[k])
    text = ""
  }
}

# The eight sorts of one label against the goal; the date sorts may read the
# directory again, so they are also given less its listing (when known).
function sorts(rtt, label, title, listing,    c, o, what, value, line, shown, columns, orders, k) {
  split("name size type date", columns, " ")
  split("asc desc", orders, " ")
  shown = 0
  for (c = 1; c <= 4; ++c)
    for (o = 1; o <= 2; ++o) {
      what = columns[c] "-" orders[o]
      value = seconds(rtt, label, "control", what)
      if (value == "") continue
      k = key(rtt, label, "control", what)
      if (!shown++) {
        print ""
        printf "== %s at %s ms: SortListItem on the %d rows; goal: under 0.3 s each\n", title, rtt, entries[k]
      }
      line = "s   goal 0.3 s: " verdict(value, 0.3)
      if (columns[c] == "date" && listing != "")
        line = line sprintf("   (less the listing: %.3f s)", value - listing)
      if (commands[k] > 0) line = line "   commands: " readable(verbs[k])
      figure(what, value, line)
    }
}

/^sample / {
  delete f
  f["rtt_ms"] = 0
  f["commands"] = -1
  f["verbs"] = "-"
  f["stall"] = -1
  for (i = 2; i <= NF; ++i) { split($i, kv, "="); f[kv[1]] = kv[2] }
  if (!(f["rtt_ms"] in seenRtt)) { seenRtt[f["rtt_ms"]] = 1; rtts[++nrtts] = f["rtt_ms"] }
  k = key(f["rtt_ms"], f["label"], f["tool"], f["case"])
  if (!(k in runs)) { order[++keys] = k; directory[k] = f["dir"] }
  runs[k]++
  secs[k] = secs[k] " " f["seconds"]
  calls[k] = calls[k] " " f["call"]
  stalls[k] = stalls[k] " " f["stall"]
  entries[k] = f["entries"]
  client[k] = client[k] " " f["cpu_client"]
  server[k] = server[k] " " f["cpu_server"]
  # The same operation sends the same commands every round: the last is kept.
  commands[k] = f["commands"]
  verbs[k] = f["verbs"]
}

END {
  print "== medians per case (rtt: the round trip the proxy added, ms; seconds: the call and the painting it caused,"
  print "   or the listing; call: the control's method alone; cpu: CPU seconds of the host process (of curl) and of"
  print "   the wineserver; cmds: the commands sent during the case)"
  printf "%4s %-10s %-8s %-14s %7s %2s %9s %17s %9s %7s %7s %6s  %s\n", "rtt", "label", "tool", "case", "entries", "n",
    "seconds", "min-max", "call", "cpu", "server", "cmds", "directory"
  for (i = 1; i <= keys; ++i) {
    k = order[i]
    split(k, p, SUBSEP)
    call = median(calls[k])
    printf "%4s %-10s %-8s %-14s %7s %2d %9.3f %17s %9s %7s %7s %6s  %s\n", p[1], p[2], p[3], p[4],
      (entries[k] < 0 ? "-" : entries[k]), runs[k], median(secs[k]),
      sprintf("%.3f-%.3f", smallest(secs[k]), largest(secs[k])), (call < 0 ? "-" : sprintf("%.3f", call)),
      cpu(client[k]), cpu(server[k]), (commands[k] < 0 ? "-" : commands[k]), directory[k]
  }

  print ""
  print "== the main rows at each round trip (rtt ms; seconds: median; paid: the seconds added over the first round"
  print "   trip, in round trips; unanswered: the longest the window left a message from another thread waiting,"
  print "   in seconds, the worst round; commands: sent during the row, total and by verb)"
  printf "%-46s %6s %9s %9s %10s %7s  %s\n", "row", "rtt", "seconds", "paid", "unanswered", "cmds", "by verb"
  main_row("Connect (ConnectDirectory /), tree hidden", "connect", "control", "connect")
  main_row("Connect (ConnectDirectory /), tree shown", "connect", "control", "connect-tree")
  main_row(sprintf("enter %s (%d subdirs): list and tree", directory[key(rtts[1], "tree", "control", "tree-setdir")],
    entries[key(rtts[1], "tree", "control", "tree-setdir")]), "tree", "control", "tree-setdir")
  main_row(sprintf("%d files into the list (SetCurrentDirectory)", entries[key(rtts[1], "list", "control", "setdir")]),
    "list", "control", "setdir")
  main_row("  the same, Refresh", "list", "control", "refresh")
  main_row("download one small file (GetFile)", "get", "control", "getfile")
  main_row("upload it again (PutFile)", "put", "control", "putfile")
  main_row("  GetFileSize (TYPE I, SIZE; an upload's check is the SIZE)", "put", "control", "getfilesize")
  main_row("curl's listing of the files (login included)", "list", "curl", "listing")
  main_row("curl's listing of the subdirs (login included)", "tree", "curl", "listing")

  for (r = 1; r <= nrtts; ++r) {
    rtt = rtts[r]
    # The listing transfer itself: Wine's WinInet listing when it ran, curl's
    # (which includes its login) otherwise.
    bare = seconds(rtt, "list", "wininet", "listing")
    bareName = "bare WinInet listing"
    if (bare == "") { bare = seconds(rtt, "list", "curl", "listing"); bareName = "curl's listing" }
    control = seconds(rtt, "list", "control", "setdir")
    if (bare != "" && control != "") {
      print ""
      printf "== the list at %s ms: %d files (%s %.3f s)\n", rtt, entries[key(rtt, "list", "control", "setdir")],
        bareName, bare
      print "   shown beyond the listing transfer itself = control - " bareName "; goal: under 1 s"
      split("setdir refresh", hidden, " ")
      for (c = 1; c <= 2; ++c) {
        control = seconds(rtt, "list", "control", hidden[c])
        if (control == "") continue
        figure("tree hidden, " (c == 1 ? "SetCurrentDirectory" : "Refresh"), control, "s")
        figure("  beyond the listing transfer", control - bare, "s   goal 1 s: " verdict(control - bare, 1))
      }
      control = seconds(rtt, "list", "control", "tree-refresh")
      if (control != "")
        figure("tree shown, Refresh", control, sprintf("s (%.1f times the listing)", control / bare))
    }

    sorts(rtt, "sort", "the sorts", bare)

    # Reading the level = a call with the tree shown - Refresh with it
    # hidden (which lists the level into the list, as those calls do too),
    # spread over the subdirectories it probes.
    opened = seconds(rtt, "tree", "control", "tree-setdir")
    withTree = seconds(rtt, "tree", "control", "tree-refresh")
    listOnly = seconds(rtt, "tree", "control", "refresh")
    if (listOnly != "" && (opened != "" || withTree != "")) {
      k = key(rtt, "tree", "control", "refresh")
      m = entries[k]
      print ""
      printf "== the tree at %s ms: a level of %d subdirectories, each holding one\n", rtt, m
      if (opened != "") figure("SetCurrentDirectory into it, tree shown (A)", opened, "s")
      if (withTree != "") figure("Refresh there, tree shown (B)", withTree, "s")
      figure("Refresh there, tree hidden: the list only (C)", listOnly, "s")
      if (opened != "") {
        figure("reading the level on SetCurrentDirectory: A - C", opened - listOnly, "s")
        figure(sprintf("  per subdirectory: (A - C) / %d", m), (opened - listOnly) * 1000 / m, "ms")
        a = key(rtt, "tree", "control", "tree-setdir")
        if (commands[a] >= 0 && commands[k] >= 0)
          figure(sprintf("  commands per subdirectory: (A - C) / %d", m), (commands[a] - commands[k]) / m, "")
      }
      if (withTree != "") {
        figure("reading the level again on Refresh: B - C", withTree - listOnly, "s")
        figure(sprintf("  per subdirectory: (B - C) / %d", m), (withTree - listOnly) * 1000 / m, "ms")
      }
      level = seconds(rtt, "tree", "wininet", "listing")
      if (level != "") figure("bare WinInet listing of the level", level, "s")
      one = seconds(rtt, "tree", "wininet", "subdir-listing")
      if (one != "") figure("bare WinInet listing of one subdirectory", one * 1000, "ms")
    }

    localBare = seconds(rtt, "local", "findfile", "listing")
    localList = seconds(rtt, "local", "control", "refresh")
    if (localBare != "" && localList != "") {
      print ""
      printf "== the local disk (at %s ms, which it does not see): %d files of the same kind, where the listing" \
        " costs little\n", rtt, entries[key(rtt, "local", "control", "refresh")]
      figure("bare FindFirstFile listing", localBare, "s")
      figure("Refresh, tree hidden", localList, "s")
      figure("  beyond the listing", localList - localBare, "s   goal 1 s: " verdict(localList - localBare, 1))
    }
    sorts(rtt, "local-sort", "the sorts on the local disk", localBare)
  }
}
