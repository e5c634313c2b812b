# Median and range of a space-separated list of numbers, for the benchmark summaries.

function median(list,    count, i, j, t, v) {
  count = split(list, v, " ")
  for (i = 2; i <= count; ++i)
    for (j = i; j > 1 && v[j - 1] + 0 > v[j] + 0; --j) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
  if (count == 0) return ""
  return count % 2 ? v[(count + 1) / 2] + 0 : (v[count / 2] + v[count / 2 + 1]) / 2
}

function smallest(list,    count, i, v, m) {
  count = split(list, v, " ")
  m = v[1] + 0
  for (i = 2; i <= count; ++i) if (v[i] + 0 < m) m = v[i] + 0
  return m
}

function largest(list,    count, i, v, m) {
  count = split(list, v, " ")
  m = v[1] + 0
  for (i = 2; i <= count; ++i) if (v[i] + 0 > m) m = v[i] + 0
  return m
}
