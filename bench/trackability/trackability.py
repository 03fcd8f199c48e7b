#!/usr/bin/python3
"""Holds the tool's image scores against a tracker.

For each picture named in classes.txt (fetched from its Debian package with apt-get download into
a temporary folder, never kept; the generated cases are the tool's tests), it makes VIEWS synthetic camera
views with a fixed seed (perspective tilt, any in-plane rotation, scale, mild blur, noise, a
change of lighting, partial occlusion, over a cluttered background), matches each view against
the picture with two standard detectors (OpenCV's SIFT and ORB) and a RANSAC homography, and
counts a view as tracked when the picture's corners land within 2% of its diagonal of their true
places. The share of views tracked, averaged over the two detectors, is the picture's measured
trackability. Then it rates every picture with `artargets check --images --json` and prints
Spearman's rank correlation of the score with the trackability and with the classes, the
classes' own correlation with the trackability, and the good pictures scored at or below a poor
one.

usage: trackability.py ARTARGETS [--views N] [--keep DIR] [--cache FILE]
Needs python3-opencv and python3-numpy (Debian: scripts/ensure-packages.sh --evaluation). Not run
by CI: it takes minutes. --cache keeps the measured trackability between runs (keyed by package
and path), --keep unpacks the packages into DIR and reuses them.
"""
import argparse
import json
import os
import subprocess
import sys
import tempfile

import cv2
import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
FRAME = (640, 480)


def read_classes(path):
    rows = []
    for line in open(path):
        if line.startswith('#') or not line.strip():
            continue
        cls, package, inner = line.split()
        rows.append((cls, package, inner))
    return rows


def fetch(rows, folder):
    """Downloads and unpacks each package once; returns {(package, path): file}."""
    files = {}
    for package in sorted({p for _, p, _ in rows}):
        subprocess.run(['apt-get', 'download', package], cwd=folder, check=True,
                       stdout=subprocess.DEVNULL)
        deb = [f for f in os.listdir(folder) if f.startswith(package + '_') and f.endswith('.deb')][0]
        subprocess.run(['dpkg-deb', '-x', deb, os.path.join(folder, package)], cwd=folder, check=True)
    for _, package, inner in rows:
        files[(package, inner)] = os.path.join(folder, package) + inner
    return files


def as_shown(path):
    """Grey, Exif orientation applied (OpenCV does), transparency composited onto white."""
    image = cv2.imread(path, cv2.IMREAD_UNCHANGED)
    if image is None:
        return None
    if image.dtype != np.uint8:
        image = (image / 257).astype(np.uint8)
    if image.ndim == 3 and image.shape[2] == 4:
        alpha = image[:, :, 3:4] / 255.0
        image = (image[:, :, :3] * alpha + 255 * (1 - alpha)).astype(np.uint8)
    if image.ndim == 3:
        image = cv2.cvtColor(image, cv2.COLOR_BGR2GRAY)
    oriented = cv2.imread(path, cv2.IMREAD_GRAYSCALE)  # applies the orientation
    if oriented is not None and oriented.shape != image.shape:
        image = oriented
    scale = min(1.0, 640 / max(image.shape))
    return cv2.resize(image, None, fx=scale, fy=scale, interpolation=cv2.INTER_AREA)


def random_view(target, rng):
    """A camera's view of the target and where its corners land."""
    h, w = target.shape
    corners = np.float32([[0, 0], [w, 0], [w, h], [0, h]])
    side = rng.uniform(0.25, 0.7) * min(FRAME)
    scale = side / max(w, h)
    angle = rng.uniform(0, 2 * np.pi)
    tilt = rng.uniform(0, 0.45)  # how far the far edge shrinks
    tilt_axis = rng.uniform(0, 2 * np.pi)
    centred = (corners - [w / 2, h / 2]) * scale
    axis = np.array([np.cos(tilt_axis), np.sin(tilt_axis)])
    along = centred @ axis
    shrink = 1 - tilt * (along - along.min()) / max(1e-6, along.max() - along.min())
    tilted = centred * shrink[:, None]
    rotation = np.array([[np.cos(angle), -np.sin(angle)], [np.sin(angle), np.cos(angle)]])
    placed = tilted @ rotation.T + [FRAME[0] / 2 + rng.uniform(-60, 60),
                                    FRAME[1] / 2 + rng.uniform(-40, 40)]
    placed = np.float32(placed)
    homography = cv2.getPerspectiveTransform(corners, placed)
    background = rng.integers(0, 256, (FRAME[1] // 8, FRAME[0] // 8)).astype(np.uint8)
    background = cv2.GaussianBlur(cv2.resize(background, FRAME, interpolation=cv2.INTER_LINEAR),
                                  (0, 0), 3)
    view = cv2.warpPerspective(target, homography, FRAME, dst=background.copy(),
                               borderMode=cv2.BORDER_TRANSPARENT)
    # Occlusion: a grey block over up to a fifth of the target.
    if rng.random() < 0.6:
        c = placed.mean(axis=0) + rng.uniform(-0.3, 0.3, 2) * side
        half = np.sqrt(rng.uniform(0.05, 0.2)) * side / 2
        x0, y0 = int(c[0] - half), int(c[1] - half)
        cv2.rectangle(view, (x0, y0), (int(x0 + 2 * half), int(y0 + 2 * half)),
                      int(rng.integers(0, 256)), -1)
    view = view.astype(np.float32) * rng.uniform(0.6, 1.3) + rng.uniform(-30, 30)
    view = cv2.GaussianBlur(view, (0, 0), rng.uniform(0.3, 1.8))
    view += rng.normal(0, rng.uniform(1, 6), view.shape)
    return np.clip(view, 0, 255).astype(np.uint8), placed


DETECTORS = {
    'sift': (lambda: cv2.SIFT_create(nfeatures=2000), cv2.NORM_L2),
    'orb': (lambda: cv2.ORB_create(nfeatures=2000), cv2.NORM_HAMMING),
}


def tracked_share(target, views, seed):
    rng = np.random.default_rng(seed)
    made = [random_view(target, rng) for _ in range(views)]
    h, w = target.shape
    corners = np.float32([[0, 0], [w, 0], [w, h], [0, h]]).reshape(-1, 1, 2)
    shares = {}
    for name, (make, norm) in DETECTORS.items():
        detector = make()
        keys, descriptors = detector.detectAndCompute(target, None)
        tracked = 0
        for view, truth in made:
            vkeys, vdesc = detector.detectAndCompute(view, None)
            if descriptors is None or vdesc is None or len(keys) < 4 or len(vkeys) < 4:
                continue
            pairs = cv2.BFMatcher(norm).knnMatch(descriptors, vdesc, k=2)
            good = [p[0] for p in pairs if len(p) == 2 and p[0].distance < 0.8 * p[1].distance]
            if len(good) < 8:
                continue
            src = np.float32([keys[m.queryIdx].pt for m in good]).reshape(-1, 1, 2)
            dst = np.float32([vkeys[m.trainIdx].pt for m in good]).reshape(-1, 1, 2)
            homography, inliers = cv2.findHomography(src, dst, cv2.RANSAC, 4.0)
            if homography is None or inliers.sum() < 8:
                continue
            found = cv2.perspectiveTransform(corners, homography).reshape(-1, 2)
            diagonal = np.linalg.norm(truth[2] - truth[0])
            if np.linalg.norm(found - truth, axis=1).max() <= 0.02 * diagonal:
                tracked += 1
        shares[name] = tracked / views
    return float(np.mean(list(shares.values()))), shares


def ranks(values):
    order = np.argsort(values, kind='mergesort')
    r = np.empty(len(values))
    values = np.asarray(values, dtype=float)
    i = 0
    while i < len(values):
        j = i
        while j + 1 < len(values) and values[order[j + 1]] == values[order[i]]:
            j += 1
        r[order[i:j + 1]] = (i + j) / 2
        i = j + 1
    return r


def spearman(a, b):
    ra, rb = ranks(a), ranks(b)
    return float(np.corrcoef(ra, rb)[0, 1])


def scores_of(tool, files, folder, shaped=False):
    """Rates every file with `artargets check --images --json`, each as a 1 m wide target: square,
    or with `shaped` of the picture's own shape."""
    xml = os.path.join(folder, 'targets.xml')
    if os.path.exists(xml):
        os.remove(xml)
    names = {}
    for i, path in enumerate(files):
        name = 'image%03d' % i
        names[name] = path
        height = 1.0
        if shaped:
            image = cv2.imread(path, cv2.IMREAD_GRAYSCALE)
            height = image.shape[0] / image.shape[1] if image is not None else 1.0
        subprocess.run([tool, 'add', xml, name, '--image', path, '--size', '1', '%.6f' % height],
                       check=True, stdout=subprocess.DEVNULL)
    out = subprocess.run([tool, 'check', xml, '--images', '--json'], capture_output=True,
                         text=True).stdout
    report = json.loads(out)
    return {names[item['name']]: item for item in report['images']}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('artargets')
    parser.add_argument('--views', type=int, default=24)
    parser.add_argument('--cache', help='a JSON file of trackability already measured')
    parser.add_argument('--keep', help='unpack the packages here instead of a temporary folder')
    args = parser.parse_args()
    rows = read_classes(os.path.join(HERE, 'classes.txt'))
    folder = args.keep or tempfile.mkdtemp(prefix='trackability-')
    files = fetch(rows, folder) if not args.keep or not os.listdir(folder) else {
        (p, i): os.path.join(folder, p) + i for _, p, i in rows}
    cache = json.load(open(args.cache)) if args.cache and os.path.exists(args.cache) else {}
    measured = {}
    for n, (cls, package, inner) in enumerate(rows):
        key = package + inner
        if key not in cache:
            target = as_shown(files[(package, inner)])
            cache[key] = tracked_share(target, args.views, seed=n)[0] if target is not None else 0
            print('measured %3d/%d %.2f %s' % (n + 1, len(rows), cache[key], key), file=sys.stderr)
        measured[key] = cache[key]
    if args.cache:
        json.dump(cache, open(args.cache, 'w'), indent=1)
    rated = scores_of(os.path.abspath(args.artargets), [files[(p, i)] for _, p, i in rows], folder)
    level = {'poor': 0, 'fair': 1, 'good': 2}
    table = []
    for cls, package, inner in rows:
        item = rated[files[(package, inner)]]
        table.append((item['score'], measured[package + inner], level[cls], cls, inner,
                      ', '.join(item['reasons'])))
    table.sort()
    for score, track, _, cls, inner, reasons in table:
        print('%3d %.2f %-4s %-60s %s' % (score, track, cls, inner[-60:], reasons))
    score = [t[0] for t in table]
    track = [t[1] for t in table]
    klass = [t[2] for t in table]
    good_below_poor = sum(1 for g in table if g[3] == 'good' for p in table
                          if p[3] == 'poor' and g[0] <= p[0])
    print('pictures: %d' % len(table))
    print('spearman(score, trackability) = %.3f' % spearman(score, track))
    print('spearman(score, classes)      = %.3f' % spearman(score, klass))
    print('spearman(classes, trackability) = %.3f' % spearman(klass, track))
    print('good at or below poor pairs: %d' % good_below_poor)


if __name__ == '__main__':
    main()
