#!/usr/bin/env python3
"""Times `tavric check` on a generated document against python3's json.load of the same data, and
measures the other verbs that read the whole document.

Usage: bench/tavric_vs_json.py [TAVRIC] [--mb N] [--rounds R]
  TAVRIC   the tool (default: build/run/tavric beside this checkout)
  --mb     size of the Tavric document to generate, in MB (default 20)
  --rounds timed runs of each, the best is kept (default 3)

Prints the sizes, the best times, their ratio and that of the peaks (goal: tavric check at most
json.load's time and peak), and the peak resident memory of each per element (a number in a
collection or a named value). Then the time and peak of `tavric json`, `fmt` and `fmt --check`,
with their peak as a multiple of the document's size (goal for fmt: within 10x), and those of json
and fmt --check against check's (goal: within 2x). Not part of the test suite: timings depend on the machine.
"""
import json
import os
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))


def generate(target_bytes):
    """A document shaped like the game's maps: records with a few named values and six layers of
    integers each. Returns (tavric text, the same data as a Python object, element count)."""
    tavric_parts = []
    data = {}
    size = 0
    elements = 0
    record = 0
    side = 32
    while size < target_bytes:
        name = "map%d" % record
        layers = []
        for layer in range(6):
            layers.append([(record * 7 + layer * 13 + i * 31) % 1000 for i in range(side * side)])
        text = ['[%s' % name, '  title = "Map number %d"' % record, '  width = %d' % side,
                '  height = %d' % side, '  scale = %d.5' % (record % 10)]
        for layer, values in enumerate(layers):
            text.append('  layer%d = [Collection (32)' % layer)
            for row in range(side):
                text.append('    ' + ' '.join(str(v) for v in values[row * side:(row + 1) * side]))
            text.append('  ]')
        text.append(']')
        chunk = '\n'.join(text) + '\n'
        tavric_parts.append(chunk)
        size += len(chunk)
        entry = {"title": "Map number %d" % record, "width": side, "height": side, "scale": record % 10 + 0.5}
        for layer, values in enumerate(layers):
            entry["layer%d" % layer] = values
        data[name] = entry
        elements += 4 + 6 * side * side
        record += 1
    return ''.join(tavric_parts), data, elements


def measure(command):
    """Best wall time of the command over the rounds, and its largest peak resident size (bytes)."""
    best = None
    peak = 0
    for _ in range(rounds):
        start = time.perf_counter()
        child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # wait4 gives this child's own resource use, its peak resident size in kB among them.
        _, status, usage = os.wait4(child.pid, 0)
        elapsed = time.perf_counter() - start
        child.returncode = 0
        if not os.WIFEXITED(status) or os.WEXITSTATUS(status) != 0:
            sys.exit("failed: %s" % ' '.join(command))
        best = elapsed if best is None else min(best, elapsed)
        peak = max(peak, usage.ru_maxrss * 1024)
    return best, peak


def write_documents(tvr, js, megabytes):
    """Writes both documents; returns the element count."""
    text, data, elements = generate(int(megabytes * 1e6))
    with open(tvr, 'w') as out:
        out.write(text)
    with open(js, 'w') as out:
        json.dump(data, out)
    return elements


# A child's peak resident size starts from this process's own (the child is forked from it, and
# Linux carries the high-water mark over exec): the documents are therefore made in a process of
# their own, and this one stays small (about 10 MB, which every peak below includes).
if sys.argv[1:2] == ['--write']:
    print(write_documents(sys.argv[2], sys.argv[3], float(sys.argv[4])))
    sys.exit(0)

args = sys.argv[1:]
tool = os.path.join(here, '..', 'build', 'run', 'tavric')
megabytes = 20
rounds = 3
while args:
    arg = args.pop(0)
    if arg == '--mb':
        megabytes = float(args.pop(0))
    elif arg == '--rounds':
        rounds = int(args.pop(0))
    else:
        tool = arg
if not os.access(tool, os.X_OK):
    sys.exit("no tavric tool at %s (build it, or name it as the first argument)" % tool)

with tempfile.TemporaryDirectory(prefix='tavric-bench-') as scratch:
    tvr = os.path.join(scratch, 'doc.tvr')
    js = os.path.join(scratch, 'doc.json')
    elements = int(subprocess.check_output([sys.executable, os.path.abspath(__file__), '--write', tvr, js,
                                            str(megabytes)]))
    json_time, json_peak = measure([sys.executable, '-c', 'import json,sys; json.load(open(sys.argv[1]))', js])
    tavric_time, tavric_peak = measure([tool, 'check', tvr])
    print("document: %.1f MB Tavric, %.1f MB JSON, %d elements" %
          (os.path.getsize(tvr) / 1e6, os.path.getsize(js) / 1e6, elements))
    print("json.load:     %.3f s, peak %.0f MB, %.0f bytes per element" %
          (json_time, json_peak / 1e6, json_peak / elements))
    print("tavric check:  %.3f s, peak %.0f MB, %.0f bytes per element" %
          (tavric_time, tavric_peak / 1e6, tavric_peak / elements))
    ratio = tavric_time / json_time
    print("ratio: %.2fx the time, %.2fx the peak (goal: at most 1x each) %s" %
          (ratio, tavric_peak / json_peak, "met" if ratio <= 1.0 and tavric_peak <= json_peak else "NOT met"))
    size = os.path.getsize(tvr)
    print("tavric check:  peak %.1fx the document" % (tavric_peak / size))
    peaks = {}
    for verb in ('json', 'fmt', 'fmt --check'):
        verb_time, peaks[verb] = measure([tool] + verb.split() + [tvr])
        print("tavric %-13s %.3f s, peak %.0f MB, %.1fx the document" %
              (verb + ':', verb_time, peaks[verb] / 1e6, peaks[verb] / size))
        if verb != 'fmt':
            time_ratio = verb_time / tavric_time
            peak_ratio = peaks[verb] / tavric_peak
            print("  against check: %.2fx the time, %.2fx the peak (goal: within 2x each) %s" %
                  (time_ratio, peak_ratio, "met" if time_ratio <= 2.0 and peak_ratio <= 2.0 else "NOT met"))
    fmt_peak = max(peaks['fmt'], peaks['fmt --check'])
    print("fmt peak: %.1fx the document (goal: within 10x) %s" %
          (fmt_peak / size, "met" if fmt_peak <= 10 * size else "NOT met"))
