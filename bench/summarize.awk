# Summary of a bench/run: medians per configuration, the ratios, and where the time goes.
# Input: the "sample ..." and "pump ..." lines of the benchmark host and of curl.
# Run with medians.awk: awk -f medians.awk -f summarize.awk samples.txt

function key(label, tool, dir, chunk, dialog) {
  return label SUBSEP tool SUBSEP dir SUBSEP chunk SUBSEP dialog
}

# Median seconds of a configuration without the dialog, "" when it was not measured.
function seconds(label, tool, dir, chunk,    k) {
  k = key(label, tool, dir, chunk, 0)
  return (k in runs) ? median(secs[k]) : ""
}

# The same for the copy alone (the control: up to its TransferEnd event).
function copySeconds(label, tool, dir, chunk,    k) {
  k = key(label, tool, dir, chunk, 0)
  return (k in runs) ? median(copySecs[k]) : ""
}

# a - b, "" when either was not measured.
function minus(a, b) {
  return (a == "" || b == "") ? "" : a - b
}

# A CPU figure, "-" when it was not measured.
function cpu(list,    value) {
  value = median(list)
  return value < 0 ? "-" : sprintf("%.2f", value)
}

# One line of the breakdown: seconds, and per chunk when chunks > 0; nothing when not measured.
function explain(dir, what, difference, chunks) {
  if (difference == "") return
  if (chunks > 0)
    printf "%-8s %-48s %7.3f s %7.1f us per chunk (%d chunks)\n", dir, what, difference,
      difference * 1e6 / chunks, chunks
  else
    printf "%-8s %-48s %7.3f s\n", dir, what, difference
}

# "TLS x MB/s / clear y MB/s = r", the share of its clear speed a tool keeps over TLS.
function share(tls, clear) {
  return sprintf("TLS %6.1f / clear %6.1f MB/s = %.2f", median(mbps[tls]), median(mbps[clear]),
                 median(mbps[tls]) / median(mbps[clear]))
}

# The control against the bare Winsock loop (the ceiling) in the same data
# connection mode and protection, and against curl; the CPU seconds (host
# process + wineserver) each spends per GiB moved.
function bareSection(    d, dir, c, chunk, p) {
  print ""
  print "== the control against the bare Winsock loop (main; goal: control/bare >= 0.85, CPU per GiB within 1.20"
  print "   of the loop's; CPU = host process + wineserver seconds per GiB; both tools in the same mode; the"
  print "   control's MB/s up to its TransferEnd event, the whole call's in brackets (with the listing that shows"
  print "   the views afresh, which waits for the server's answer to the next command), CPU up to it too)"
  for (p = 1; p <= 4; ++p) {
    for (d = 1; d <= 2; ++d) {
      dir = d == 1 ? "download" : "upload"
      for (c = 1; c <= 2; ++c) {
        chunk = c == 1 ? 64 : 1024
        if (p == 1) bareRow(dir, chunk, "clear passive", "control", "bare", "curl-passive")
        if (p == 2) bareRow(dir, chunk, "clear active", "control-active", "bare-active", "curl-active")
        if (p == 3) bareRow(dir, chunk, "TLS passive", "control-tls", "bare-tls", "curl-tls")
        # The local store's copies: the control's loop against ReadFile + WriteFile.
        if (p == 4 && d == 1) bareRow("local", chunk, "local disk", "control", "bare", "")
      }
    }
  }
}

function bareRow(dir, chunk, mode, controlTool, bareTool, curlTool,    control, bare, curl, line, gib) {
  control = key("main", controlTool, dir, chunk, 0)
  bare = key("main", bareTool, dir, chunk, 0)
  curl = key("main", curlTool, dir, 0, 0)
  if (!(control in runs) || !(bare in runs)) return
  line = sprintf("%-13s %-8s %4d KiB: control %7.1f (call %7.1f), bare %7.1f MB/s = %.2f", mode, dir, chunk,
                 median(copyMbps[control]), median(mbps[control]), median(copyMbps[bare]),
                 median(copyMbps[control]) / median(copyMbps[bare]))
  if (curl in runs)
    line = line sprintf("   control/%s %.2f", curlTool, median(copyMbps[control]) / median(mbps[curl]))
  gib = median(bytesOf[control]) / 1073741824
  if (gib > 0 && median(copyClient[control]) >= 0 && median(copyClient[bare]) >= 0 && copyCpu(bare) > 0)
    line = line sprintf("   CPU s/GiB control %.2f, bare %.2f = %.2f", copyCpu(control) / gib, copyCpu(bare) / gib,
                        copyCpu(control) / copyCpu(bare))
  print line
}

function copyCpu(k,    serverSeconds) {
  serverSeconds = median(copyServer[k])
  return median(copyClient[k]) + (serverSeconds > 0 ? serverSeconds : 0)
}

# The main section's TLS rows: for the control and for curl (passive mode
# both), the median MB/s over explicit TLS against the same tool in clear;
# then the control's share against curl's.
function tlsSection(    d, dir, c, chunk, control, controlTls, curl, curlTls, q, pattern, line, kept, curlKept) {
  if (!(key("main", "control-tls", "download", 64, 0) in runs) && !(key("main", "curl-tls", "download", 0, 0) in runs))
    return
  print ""
  print "== TLS / clear (main; median MB/s over explicit TLS against the same tool in clear: the share of its clear"
  print "   speed a tool keeps; passive mode all; the control is to keep no smaller share"
  print "   than curl, control share / curl share >= 1.00)"
  for (d = 1; d <= 2; ++d) {
    dir = d == 1 ? "download" : "upload"
    curl = key("main", "curl-passive", dir, 0, 0)
    curlTls = key("main", "curl-tls", dir, 0, 0)
    if ((curl in runs) && (curlTls in runs))
      printf "%-8s curl                 %s\n", dir, share(curlTls, curl)
    for (c = 1; c <= 2; ++c) {
      chunk = c == 1 ? 64 : 1024
      control = key("main", "control", dir, chunk, 0)
      controlTls = key("main", "control-tls", dir, chunk, 0)
      if (!(control in runs) || !(controlTls in runs)) continue
      line = sprintf("%-8s control %4d KiB     %s", dir, chunk, share(controlTls, control))
      if ((curl in runs) && (curlTls in runs)) {
        kept = median(mbps[controlTls]) / median(mbps[control])
        curlKept = median(mbps[curlTls]) / median(mbps[curl])
        line = line sprintf("   control share / curl share %.2f   control TLS / curl TLS %.2f", kept / curlKept,
                            median(mbps[controlTls]) / median(mbps[curlTls]))
      }
      print line
      # Clear downloads at a large TransferByte may mix short and full reads
      # (see the ratios above): then the share against each pattern alone.
      for (q = 1; q <= 2; ++q) {
        pattern = q == 1 ? "short" : "full"
        if (((control, "short") in byPattern) && ((control, "full") in byPattern))
          printf "%-8s   against clear runs with %s reads only (%d runs): %.2f\n", dir, pattern,
            split(byPattern[control, pattern], unused, " "),
            median(mbps[controlTls]) / median(byPattern[control, pattern])
      }
    }
  }
}

/^sample / {
  delete f
  for (i = 2; i <= NF; ++i) { split($i, kv, "="); f[kv[1]] = kv[2] }
  k = key(f["label"], f["tool"], f["dir"], f["chunk"], f["dialog"])
  if (!(k in runs)) order[++keys] = k
  runs[k]++
  mbps[k] = mbps[k] " " f["mbps"]
  secs[k] = secs[k] " " f["seconds"]
  chunks[k] = chunks[k] " " f["chunks"]
  client[k] = client[k] " " f["cpu_client"]
  server[k] = server[k] " " f["cpu_server"]
  bytesOf[k] = bytesOf[k] " " f["bytes"]
  # The copy alone: the control's call up to its TransferEnd event.
  copySecs[k] = copySecs[k] " " ((f["copy_seconds"] > 0) ? f["copy_seconds"] : f["seconds"])
  copyMbps[k] = copyMbps[k] " " ((f["copy_seconds"] > 0) ? sprintf("%.1f", f["bytes"] / f["copy_seconds"] / 1e6) : f["mbps"])
  copyClient[k] = copyClient[k] " " (("copy_cpu_client" in f) ? f["copy_cpu_client"] : f["cpu_client"])
  copyServer[k] = copyServer[k] " " (("copy_cpu_server" in f) ? f["copy_cpu_server"] : f["cpu_server"])
  # Wine's InternetReadFile returns what one receive brought. Downloads fall
  # into one of two patterns, each keeping itself up for the whole transfer:
  # short reads (the reader keeps up with the data, under 100 KB a read) or
  # full reads (data piles up in the socket and every read fills the chunk;
  # much faster). Which one a run gets is chance; compare like with like.
  if (f["dir"] == "download" && f["chunk"] > 0) {
    pattern = f["chunks"] > 2 * f["bytes"] / (f["chunk"] * 1024) ? "short" : "full"
    byPattern[k, pattern] = byPattern[k, pattern] " " f["mbps"]
  }
}

/^pump / { pump[++pumps] = $0 }

END {
  print "== medians per configuration (MB/s = 10^6 bytes/s; seconds of the timed section; chunks = TransferProgress"
  print "   events or loop iterations; cpu = CPU seconds of the host process (of curl) and of the wineserver)"
  print "   min-max: the range of MB/s over the runs"
  printf "%-6s %-16s %-9s %12s %6s %2s %8s %13s %8s %7s %6s %6s\n", "label", "tool", "direction", "TransferByte",
    "dialog", "n", "MB/s", "min-max", "seconds", "chunks", "cpu", "server"
  for (i = 1; i <= keys; ++i) {
    k = order[i]
    split(k, p, SUBSEP)
    printf "%-6s %-16s %-9s %12s %6s %2d %8.1f %13s %8.3f %7d %6s %6s\n", p[1], p[2], p[3],
      (p[4] == 0 ? "-" : p[4] " KiB"), (p[5] ? "on" : "off"), runs[k], median(mbps[k]),
      sprintf("%.0f-%.0f", smallest(mbps[k]), largest(mbps[k])), median(secs[k]), median(chunks[k]),
      cpu(client[k]), cpu(server[k])
  }

  if (key("main", "wininet", "download", 64, 0) in runs) {
    print ""
    print "== ratios of the median MB/s (main; the control against the WinInet loop)"
  }
  for (d = 1; d <= 2; ++d) {
    dir = d == 1 ? "download" : "upload"
    active = key("main", "curl-active", dir, 0, 0)
    passive = key("main", "curl-passive", dir, 0, 0)
    for (c = 1; c <= 2; ++c) {
      chunk = c == 1 ? 64 : 1024
      control = key("main", "control", dir, chunk, 0)
      wininet = key("main", "wininet", dir, chunk, 0)
      if (!(control in runs) || !(wininet in runs)) continue
      line = sprintf("%-8s TransferByte %4d: control/WinInet %.2f", dir, chunk,
                     median(mbps[control]) / median(mbps[wininet]))
      if (active in runs)
        line = line sprintf("   control/curl-active %.2f", median(mbps[control]) / median(mbps[active]))
      if (passive in runs)
        line = line sprintf("   control/curl-passive %.2f", median(mbps[control]) / median(mbps[passive]))
      print line
      mixed = (((control, "short") in byPattern) || ((wininet, "short") in byPattern)) &&
              (((control, "full") in byPattern) || ((wininet, "full") in byPattern))
      for (q = 1; q <= 2 && mixed; ++q) {
        pattern = q == 1 ? "short" : "full"
        if (((control, pattern) in byPattern) && ((wininet, pattern) in byPattern))
          printf "%-8s TransferByte %4d, runs with %s reads only: control/WinInet %.2f (%d and %d runs)\n", dir,
            chunk, pattern, median(byPattern[control, pattern]) / median(byPattern[wininet, pattern]),
            split(byPattern[control, pattern], unused, " "), split(byPattern[wininet, pattern], unused, " ")
      }
    }
    if ((active in runs) && (passive in runs))
      printf "%-8s curl passive/active %.2f\n", dir, median(mbps[passive]) / median(mbps[active])
  }

  bareSection()
  tlsSection()

  if (!(key("parts", "control", "download", 64, 0) in runs) && !(key("fixed", "control", "download", 64, 0) in runs))
    exit
  print ""
  print "== where the time goes (differences of median seconds; per chunk: divided by the control's chunks;"
  print "   the control's copy: up to its TransferEnd event)"
  for (d = 1; d <= 2; ++d) {
    dir = d == 1 ? "download" : "upload"
    n = median(chunks[key("parts", "control", dir, 64, 0)])
    all = minus(copySeconds("parts", "control", dir, 64), copySeconds("parts", "bare", dir, 64))
    once = minus(copySeconds("fixed", "control", dir, 64), copySeconds("fixed", "bare", dir, 64))
    explain(dir, "64 KiB: control's copy - bare loop", all, n)
    explain(dir, "  of it once per transfer (the 1 MiB runs)", once, 0)
    explain(dir, "  the rest", minus(all, once), n)
    explain(dir, "64 KiB: the listing after the copy (the views)",
            minus(seconds("parts", "control", dir, 64), copySeconds("parts", "control", dir, 64)), 0)
    explain(dir, "64 KiB: control - control without event sink",
            minus(seconds("parts", "control", dir, 64), seconds("parts", "control-nosink", dir, 64)), n)
    wininet = seconds("parts", "wininet", dir, 64)
    explain(dir, "64 KiB: WinInet loop + PeekMessage - WinInet loop", minus(seconds("parts", "wininet-pump", dir, 64), wininet), n)
    if (dir == "download")
      explain(dir, "64 KiB: WinInet loop - the same, NO_CACHE_WRITE", minus(wininet, seconds("parts", "wininet-nocache", dir, 64)), 0)
    for (c = 1; c <= 2; ++c) {
      chunk = c == 1 ? 64 : 1024
      shown = key("dialog", "control", dir, chunk, 1)
      if (shown in runs)
        explain(dir, sprintf("%d KiB: control with - without progress dialog", chunk),
                minus(median(secs[shown]), seconds("dialog", "control", dir, chunk)), median(chunks[shown]))
    }
    for (c = 4; c <= 4096; c *= 4) {
      if (!(key("sweep", "control", dir, c, 0) in runs)) continue
      explain(dir, sprintf("%4d KiB: control's copy - bare loop (sweep)", c),
              minus(copySeconds("sweep", "control", dir, c), copySeconds("sweep", "bare", dir, c)),
              median(chunks[key("sweep", "control", dir, c, 0)]))
    }
  }
  control = copySeconds("crowd", "control", "download", 64)
  bare = copySeconds("crowd", "bare", "download", 64)
  if (control != "" && bare != "")
    printf "download 1 MiB from a directory of 101 entries: control %.3f s, bare loop %.3f s\n", control, bare
  for (i = 1; i <= pumps; ++i) {
    if (i == 1) print "empty-queue message checks, per call (wall ns; CPU ns of the host and of the wineserver):"
    line = pump[i]
    sub(/^pump /, "  ", line)
    print line
  }
}
