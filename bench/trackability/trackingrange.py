#!/usr/bin/python3
"""Holds the tool's tracking range against a tracker: how small on screen each picture still tracks.

For each picture named in classes.txt (fetched as trackability.py fetches them), it renders VIEWS
camera views (640 x 480 frames, a 640-pixel reference) of the picture at a series of on-screen
widths, from 64 to 480 pixels: the target's width fixed, any in-plane rotation, a mild perspective
tilt, mild blur, noise, a change of lighting, over a cluttered background. Each view is tracked
with trackability.py's detectors and rules (OpenCV's SIFT and ORB, the ratio test, a RANSAC
homography, the corners within 2% of the diagonal). The simulated smallest width is where the
share of views tracked (averaged over the two detectors) first reaches one half and stays there
for the next width, read between the two widths on a log scale; a picture that never gets there
never tracks.

The tool's prediction is `smallest_width` of `artargets check --images --json` (its range's far
limit is the camera's focal length times the printed width over it). After one common scale (the
median of simulated / predicted), it prints the factor between the two at the median and the 90th
percentile; the pictures that need 1.2 times the median simulated width or more and are not
predicted to track less far than the median picture; the pictures that never track but get a
range, and the reverse; Spearman's rho of the score against the share of trackability.py's views
tracked (8 of them a picture); and the good pictures scored at or below a poor one.

usage: trackingrange.py ARTARGETS [--views N] [--every N [--start K]] [--keep DIR] [--cache FILE]
Needs python3-opencv and python3-numpy (scripts/ensure-packages.sh --evaluation). Not run by CI.
--cache keeps the simulated widths and shares between runs; --keep as in trackability.py.
"""
import argparse
import json
import os
import sys
import tempfile

import cv2
import numpy as np

import trackability as tk

WIDTHS = [int(round(64 * 1.15 ** k)) for k in range(15)]  # 64 ... 453 pixels


def view_at(target, width, rng):
    """A view of the target `width` pixels wide on screen, and where its corners land."""
    h, w = target.shape
    corners = np.float32([[0, 0], [w, 0], [w, h], [0, h]])
    scale = width / w
    angle = rng.uniform(0, 2 * np.pi)
    tilt = rng.uniform(0, 0.3)
    tilt_axis = rng.uniform(0, 2 * np.pi)
    centred = (corners - [w / 2, h / 2]) * scale
    axis = np.array([np.cos(tilt_axis), np.sin(tilt_axis)])
    along = centred @ axis
    shrink = 1 - tilt * (along - along.min()) / max(1e-6, along.max() - along.min())
    rotation = np.array([[np.cos(angle), -np.sin(angle)], [np.sin(angle), np.cos(angle)]])
    placed = (centred * shrink[:, None]) @ rotation.T + [tk.FRAME[0] / 2 + rng.uniform(-30, 30),
                                                         tk.FRAME[1] / 2 + rng.uniform(-20, 20)]
    placed = np.float32(placed)
    homography = cv2.getPerspectiveTransform(corners, placed)
    background = rng.integers(0, 256, (tk.FRAME[1] // 8, tk.FRAME[0] // 8)).astype(np.uint8)
    background = cv2.GaussianBlur(cv2.resize(background, tk.FRAME, interpolation=cv2.INTER_LINEAR),
                                  (0, 0), 3)
    view = cv2.warpPerspective(target, homography, tk.FRAME, dst=background.copy(),
                               flags=cv2.INTER_AREA, borderMode=cv2.BORDER_TRANSPARENT)
    view = view.astype(np.float32) * rng.uniform(0.7, 1.2) + rng.uniform(-25, 25)
    view = cv2.GaussianBlur(view, (0, 0), rng.uniform(0.3, 1.2))
    view += rng.normal(0, rng.uniform(1, 4), view.shape)
    return np.clip(view, 0, 255).astype(np.uint8), placed


class Tracker:
    """trackability.py's rules, the reference's features found once."""

    def __init__(self, target):
        h, w = target.shape
        self.corners = np.float32([[0, 0], [w, 0], [w, h], [0, h]]).reshape(-1, 1, 2)
        self.detectors = []
        for make, norm in tk.DETECTORS.values():
            detector = make()
            keys, descriptors = detector.detectAndCompute(target, None)
            self.detectors.append((detector, norm, keys, descriptors))

    def share(self, views):
        shares = []
        for detector, norm, keys, descriptors in self.detectors:
            tracked = 0
            for view, truth in views:
                tracked += self.tracks(detector, norm, keys, descriptors, view, truth)
            shares.append(tracked / len(views))
        return float(np.mean(shares))

    def tracks(self, detector, norm, keys, descriptors, view, truth):
        vkeys, vdesc = detector.detectAndCompute(view, None)
        if descriptors is None or vdesc is None or len(keys) < 4 or len(vkeys) < 4:
            return False
        pairs = cv2.BFMatcher(norm).knnMatch(descriptors, vdesc, k=2)
        good = [p[0] for p in pairs if len(p) == 2 and p[0].distance < 0.8 * p[1].distance]
        if len(good) < 8:
            return False
        src = np.float32([keys[m.queryIdx].pt for m in good]).reshape(-1, 1, 2)
        dst = np.float32([vkeys[m.trainIdx].pt for m in good]).reshape(-1, 1, 2)
        homography, inliers = cv2.findHomography(src, dst, cv2.RANSAC, 4.0)
        if homography is None or inliers.sum() < 8:
            return False
        found = cv2.perspectiveTransform(self.corners, homography).reshape(-1, 2)
        diagonal = np.linalg.norm(truth[2] - truth[0])
        return np.linalg.norm(found - truth, axis=1).max() <= 0.02 * diagonal


def smallest_width(target, views, seed):
    """The simulated smallest on-screen width, or None when it never tracks in half the views.
    The search starts near where most pictures cross and walks down or up from there."""
    tracker = Tracker(target)
    shares = {}

    def share(k):
        if k not in shares:
            rng = np.random.default_rng(seed * 100 + k)
            shares[k] = tracker.share([view_at(target, WIDTHS[k], rng) for _ in range(views)])
        return shares[k]

    k = 5
    if share(k) >= 0.5:
        while k > 0 and share(k - 1) >= 0.5:
            k -= 1
    else:
        while k + 1 < len(WIDTHS) and not (share(k) >= 0.5 and share(k + 1) >= 0.5):
            if WIDTHS[k] > 250 and share(k) < 0.2:
                return None  # far from half at more than a third of the frame: it never gets there
            k += 1
        if share(k) < 0.5:
            return None
    if k == 0:
        return float(WIDTHS[0])
    below, at = share(k - 1), share(k)
    t = (0.5 - below) / max(1e-9, at - below)
    return float(WIDTHS[k - 1] * (WIDTHS[k] / WIDTHS[k - 1]) ** t)


def print_figures(table):
    """table: (class, simulated width or None, predicted width or 0, score, share, name)."""
    both = [(s, p) for _, s, p, _, _, _ in table if s and p]
    scale = float(np.median([s / p for s, p in both]))
    factors = [max(s / (p * scale), p * scale / s) for s, p in both]
    simulated = [s for _, s, _, _, _, _ in table if s]
    predicted = [p for _, _, p, _, _, _ in table if p]
    median_sim, median_pred = np.median(simulated), np.median(predicted)
    needy = [row for row in table if row[1] and row[1] >= 1.2 * median_sim]
    missed = [row for row in needy if not (row[2] == 0 or row[2] > median_pred)]
    never_ranged = [row for row in table if not row[1] and row[2]]
    ranged_never = [row for row in table if row[1] and not row[2]]
    good_below_poor = sum(1 for g in table if g[0] == 'good' for p in table
                          if p[0] == 'poor' and g[3] <= p[3])
    print('pictures: %d, tracked in the simulation: %d, with a predicted range: %d'
          % (len(table), len(simulated), len(predicted)))
    print('common scale (simulated / predicted width, median): %.3f' % scale)
    print('factor after it: median %.3f, 90th percentile %.3f (over %d pictures)'
          % (np.median(factors), np.percentile(factors, 90), len(factors)))
    print('needing 1.2x the median width or more: %d, not predicted to track less far: %d'
          % (len(needy), len(missed)))
    print('never track but get a range: %d; track but get none: %d'
          % (len(never_ranged), len(ranged_never)))
    print('spearman(score, tracked share) = %.3f'
          % tk.spearman([r[3] for r in table], [r[4] for r in table]))
    print('good at or below poor pairs: %d' % good_below_poor)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('artargets')
    parser.add_argument('--views', type=int, default=8)
    parser.add_argument('--cache', help='a JSON file of what was simulated already')
    parser.add_argument('--every', type=int, default=1,
                        help='take every Nth picture of classes.txt only (a quicker look)')
    parser.add_argument('--start', type=int, default=0, help='with --every, the first one taken')
    parser.add_argument('--keep', help='unpack the packages here instead of a temporary folder')
    args = parser.parse_args()
    rows = tk.read_classes(os.path.join(tk.HERE, 'classes.txt'))
    folder = args.keep or tempfile.mkdtemp(prefix='trackingrange-')
    files = tk.fetch(rows, folder) if not args.keep or not os.listdir(folder) else {
        (p, i): os.path.join(folder, p) + i for _, p, i in rows}
    cache = json.load(open(args.cache)) if args.cache and os.path.exists(args.cache) else {}
    rows = rows[args.start::args.every]
    for n, (_, package, inner) in enumerate(rows):
        key = '%s%s views=%d' % (package, inner, args.views)
        if key not in cache:
            target = tk.as_shown(files[(package, inner)])
            cache[key] = {
                'width': smallest_width(target, args.views, n) if target is not None else None,
                'share': tk.tracked_share(target, 8, seed=n)[0] if target is not None else 0}
            print('simulated %3d/%d %s %s' % (n + 1, len(rows), cache[key], inner),
                  file=sys.stderr)
            if args.cache:
                json.dump(cache, open(args.cache, 'w'), indent=1)
    items = tk.scores_of(os.path.abspath(args.artargets), [files[(p, i)] for _, p, i in rows],
                         folder, shaped=True)
    table = []
    for cls, package, inner in rows:
        measured = cache['%s%s views=%d' % (package, inner, args.views)]
        item = items[files[(package, inner)]]
        table.append((cls, measured['width'], item.get('smallest_width', 0), item['score'],
                      measured['share'], inner))
    for cls, sim, pred, score, share, inner in sorted(table, key=lambda r: (r[1] or 1e9)):
        print('%-4s simulated %5s predicted %5.0f score %3d share %.2f %s'
              % (cls, '%.0f' % sim if sim else 'never', pred, score, share, inner[-50:]))
    print_figures(table)


if __name__ == '__main__':
    main()
