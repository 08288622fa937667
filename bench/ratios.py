#!/usr/bin/env python3
"""Reads Google Benchmark's JSON and prints every result as a ratio to BM_Memcpy of the same run.

Each benchmark's median over the repetitions is taken (real time), so one noisy repetition
moves nothing. Benchmarks with a budget are marked against it; the exit status is 1 when one
misses, so a script can hold the line.
"""
import json
import sys

# name (or name prefix ending in '/') -> the largest ratio to BM_Memcpy allowed, or another
# benchmark's name whose own ratio is the limit.
BUDGETS = {
    "BM_Blit": 1.3,
    "BM_BlitWrapRows": 1.3,
    "BM_BlitKeyed": 2.0,
    "BM_BlitAdd": "BM_PixmanAdd",
    "BM_BlitAddScaled": 2.5,
    "BM_FadeTo": 2.0,
    "BM_SceneFrame/": 25.0,
    "BM_SceneFrame/5": 40.0,  # the grid of 117 outlined cubes
    "BM_Startup": 4000.0,
    "BM_PngWrite/": 200.0,  # a frame's PNG file at a capture's level
}

# Counters a benchmark reports beside its time: a compressed size, a rate.
COUNTERS = ["KB", "frames", "fps"]


def budget(name):
    if name in BUDGETS:
        return BUDGETS[name]
    for key, limit in BUDGETS.items():
        if key.endswith("/") and name.startswith(key):
            return limit
    return None


# The order the benchmark program lists them in, each name's parameters numerically.
def position(name):
    base, _, arg = name.partition("/")
    listed = ["BM_Memcpy", "BM_Blit", "BM_BlitKeyed", "BM_BlitAdd", "BM_PixmanAdd", "BM_BlitAddScaled",
              "BM_FadeTo", "BM_BlitWrapRows", "BM_LightSpot", "BM_BlobWarp", "BM_WaveWarp", "BM_Tunnel",
              "BM_MemcpyTunnelSize", "BM_MeshGridView", "BM_Texture", "BM_SceneFrame", "BM_Startup", "BM_OnPath",
              "BM_PngWrite", "BM_Deflate", "BM_VideoCapture"]
    rank = listed.index(base) if base in listed else len(listed)
    return (rank, base, [int(a) for a in arg.split("/") if a.isdigit()])


def main():
    report = json.load(open(sys.argv[1]) if len(sys.argv) > 1 else sys.stdin)
    medians = {}
    counters = {}
    order = []
    for b in report["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        name = b["run_name"]
        # Every time in nanoseconds, whatever unit the benchmark reports in.
        scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
        medians[name] = b["real_time"] * scale
        counters[name] = "  ".join(f"{c} {b[c]:.1f}" for c in COUNTERS if c in b)
        order.append(name)
    if "BM_Memcpy" not in medians:
        sys.exit("ratios: BM_Memcpy is missing from the run; run the whole benchmark or include it")
    base = medians["BM_Memcpy"]
    ratio = {name: t / base for name, t in medians.items()}
    missed = 0
    print(f"{'benchmark':<32}{'median':>14}{'× memcpy':>12}  budget")
    # Interleaved runs report in a random order; the table keeps the benchmarks' own order.
    for name in sorted(order, key=position):
        limit = budget(name)
        mark = ""
        if isinstance(limit, str):
            if limit in ratio:
                ok = ratio[name] <= ratio[limit]
                mark = f"≤ {limit} ({ratio[limit]:.2f})  {'ok' if ok else 'MISSED'}"
                missed += not ok
        elif limit is not None:
            ok = ratio[name] <= limit
            mark = f"≤ {limit:g}  {'ok' if ok else 'MISSED'}"
            missed += not ok
        t = medians[name]
        shown = f"{t / 1e6:.2f} ms" if t >= 1e6 else f"{t / 1e3:.1f} µs"
        print(f"{name:<32}{shown:>14}{ratio[name]:>12.2f}  {mark}{'  ' if mark and counters[name] else ''}{counters[name]}")
    sys.exit(1 if missed else 0)


if __name__ == "__main__":
    main()
