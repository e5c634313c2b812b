# The SFTP benchmark's summary: the median rate of each tool and direction, and the control's ratio to OpenSSH's sftp.
  $1 == "sample" {
    for (i = 2; i <= NF; ++i) { split($i, kv, "="); f[kv[1]] = kv[2] }
    key = f["tool"] (f["chunk"] > 0 ? " " f["chunk"] " KiB" : "") "|" f["dir"]
    if (!(key in rates)) order[++count] = key
    rates[key] = rates[key] " " f["mbps"]
  }
  $1 == "connect" { split($2, kv, "="); connects = connects " " kv[2] }
  END {
    printf "%-22s %-9s %10s  %s\n", "tool", "direction", "MB/s", "(median of the rounds; 1 MB = 10^6 bytes)"
    for (i = 1; i <= count; ++i) {
      split(order[i], part, "|")
      printf "%-22s %-9s %10.1f\n", part[1], part[2], median(rates[order[i]])
      best[part[2]] = part[1] ~ /^control/ && median(rates[order[i]]) > best[part[2]] ? median(rates[order[i]]) : best[part[2]]
      if (part[1] == "sftp") native[part[2]] = median(rates[order[i]])
    }
    for (dir in native)
      printf "control (best chunk) / OpenSSH sftp, %s: %.2f (goal 0.8)\n", dir, best[dir] / native[dir]
    if (connects != "")
      printf "connect at 50 ms round trip (handshake, login, first listing): median %.2f s (goal < 1.5 s)\n", median(connects)
  }
