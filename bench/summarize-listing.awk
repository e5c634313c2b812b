# Summary of a bench/listing: medians per case, the list shown beyond the listing transfer, the sorts, the tree probes.
# Input: the "sample ..." lines of the listing host and of curl.
# Run with medians.awk: awk -f medians.awk -f summarize-listing.awk samples.txt

function key(label, tool, what) {
  return label SUBSEP tool SUBSEP what
}

# Median seconds of a case, "" when it was not measured.
function seconds(label, tool, what,    k) {
  k = key(label, tool, what)
  return (k in runs) ? median(secs[k]) : ""
}

# A CPU figure, "-" when it was not measured.
function cpu(list,    value) {
  value = median(list)
  return value < 0 ? "-" : sprintf("%.2f", value)
}

# One figure of a block: its text, its value and unit.
function figure(text, value, unit) {
  printf "   %-52s %9.3f %s\n", text, value, unit
}

function verdict(value, goal) {
  return value < goal ? "met" : "MISSED"
}

# The eight sorts of one label against the goal; the date sorts read the
# directory again, so they are also given less its bare listing (when known).
function sorts(label, title, listing,    c, o, what, value, line, shown, columns, orders) {
  split("name size type date", columns, " ")
  split("asc desc", orders, " ")
  shown = 0
  for (c = 1; c <= 4; ++c)
    for (o = 1; o <= 2; ++o) {
      what = columns[c] "-" orders[o]
      value = seconds(label, "control", what)
      if (value == "") continue
      if (!shown++) {
        print ""
        printf "== %s: SortListItem on the %d rows; goal: under 0.3 s each\n", title,
          entries[key(label, "control", what)]
      }
      line = "s   goal 0.3 s: " verdict(value, 0.3)
      if (columns[c] == "date" && listing != "")
        line = line sprintf("   (less the bare listing: %.3f s)", value - listing)
      figure(what, value, line)
    }
}

/^sample / {
  delete f
  for (i = 2; i <= NF; ++i) { split($i, kv, "="); f[kv[1]] = kv[2] }
  k = key(f["label"], f["tool"], f["case"])
  if (!(k in runs)) { order[++keys] = k; directory[k] = f["dir"] }
  runs[k]++
  secs[k] = secs[k] " " f["seconds"]
  calls[k] = calls[k] " " f["call"]
  entries[k] = f["entries"]
  client[k] = client[k] " " f["cpu_client"]
  server[k] = server[k] " " f["cpu_server"]
}

END {
  print "== medians per case (seconds: the call and the painting it caused, or the listing; call: the control's"
  print "   method alone; cpu: CPU seconds of the host process (of curl) and of the wineserver)"
  printf "%-10s %-8s %-14s %7s %2s %9s %17s %9s %7s %7s  %s\n", "label", "tool", "case", "entries", "n", "seconds",
    "min-max", "call", "cpu", "server", "directory"
  for (i = 1; i <= keys; ++i) {
    k = order[i]
    split(k, p, SUBSEP)
    call = median(calls[k])
    printf "%-10s %-8s %-14s %7s %2d %9.3f %17s %9s %7s %7s  %s\n", p[1], p[2], p[3],
      (entries[k] < 0 ? "-" : entries[k]), runs[k], median(secs[k]),
      sprintf("%.3f-%.3f", smallest(secs[k]), largest(secs[k])), (call < 0 ? "-" : sprintf("%.3f", call)),
      cpu(client[k]), cpu(server[k]), directory[k]
  }

  bare = seconds("list", "wininet", "listing")
  if (bare != "") {
    n = entries[key("list", "wininet", "listing")]
    print ""
    printf "== the list: %d files (bare WinInet listing %.3f s", n, bare
    curl = seconds("list", "curl", "listing")
    if (curl != "") printf ", curl %.3f s", curl
    print ")"
    print "   shown beyond the listing transfer itself = control - bare WinInet listing; goal: under 1 s"
    split("setdir refresh", hidden, " ")
    for (c = 1; c <= 2; ++c) {
      control = seconds("list", "control", hidden[c])
      if (control == "") continue
      figure("tree hidden, " (c == 1 ? "SetCurrentDirectory" : "Refresh"), control, "s")
      figure("  beyond the listing transfer", control - bare, "s   goal 1 s: " verdict(control - bare, 1))
    }
    split("tree-setdir tree-refresh", shown, " ")
    for (c = 1; c <= 2; ++c) {
      control = seconds("list", "control", shown[c])
      if (control == "") continue
      figure("tree shown, " (c == 1 ? "SetCurrentDirectory" : "Refresh"), control,
             sprintf("s (%.1f times the bare listing)", control / bare))
    }
  }

  sorts("sort", "the sorts", bare)

  # Reading the level = a call with the tree shown - Refresh with it hidden
  # (which lists the level into the list, as those calls do too); its
  # probes = that - one bare listing of the level.
  opened = seconds("tree", "control", "tree-setdir")
  withTree = seconds("tree", "control", "tree-refresh")
  listOnly = seconds("tree", "control", "refresh")
  level = seconds("tree", "wininet", "listing")
  if (listOnly != "" && level != "" && (opened != "" || withTree != "")) {
    m = entries[key("tree", "control", "refresh")]
    print ""
    printf "== the tree: a level of %d subdirectories, each holding one\n", m
    if (opened != "") figure("SetCurrentDirectory into it, tree shown (A)", opened, "s")
    if (withTree != "") figure("Refresh there, tree shown (B)", withTree, "s")
    figure("Refresh there, tree hidden: the list only (C)", listOnly, "s")
    figure("bare WinInet listing of the level (W)", level, "s")
    if (opened != "") {
      figure("reading the level on SetCurrentDirectory: A - C", opened - listOnly, "s")
      figure(sprintf("  per probe: (A - C - W) / %d", m), (opened - listOnly - level) * 1000 / m, "ms")
    }
    if (withTree != "") {
      figure("reading the level again on Refresh: B - C", withTree - listOnly, "s")
      figure(sprintf("  per probe: (B - C - W) / %d", m), (withTree - listOnly - level) * 1000 / m, "ms")
    }
    one = seconds("tree", "wininet", "subdir-listing")
    if (one != "") figure("bare WinInet listing of one subdirectory", one * 1000, "ms")
  }

  localBare = seconds("local", "findfile", "listing")
  localList = seconds("local", "control", "refresh")
  if (localBare != "" && localList != "") {
    print ""
    printf "== the local disk: %d files of the same kind, where the listing costs little\n",
      entries[key("local", "control", "refresh")]
    figure("bare FindFirstFile listing", localBare, "s")
    figure("Refresh, tree hidden", localList, "s")
    figure("  beyond the listing", localList - localBare, "s   goal 1 s: " verdict(localList - localBare, 1))
  }
  sorts("local-sort", "the sorts on the local disk", localBare)
}
