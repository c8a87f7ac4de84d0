# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
"""Units for the stand-in server: each holds its settings as a preset, takes a set the way the
program does (checked, to the unit's step) and draws its response curves."""
import math

LETTERS = 'ABCD'
MS_PER_SAMPLE = 0.020833332
ATTACK = [1, 2, 5, 10, 20, 30, 40, 50, 60, 70, 80, 90]
RELEASE = [10, 20, 50, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000]
SHAPES = [f'{n}-{s}' for n in ('butterworth', 'bessel', 'linkwitz-riley') for s in (12, 24, 36)]
CURVE_HZ = [10 ** (1 + 3.4 * j / 256) for j in range(256)]


class Refused(Exception):
    pass


def eq_points(count):
    lo, hi = 30.8, 14263
    return [{'type': 'peak', 'frequencyHz': round(lo * (hi / lo) ** (i / (count - 1)), 1),
             'gainDb': 0.0, 'q': 1.0} for i in range(count)]


def preset(model, name):
    ins, outs = {'QD206': (2, 6), 'QD406': (4, 6), 'QD408': (4, 8)}[model]
    inputs = [{'input': LETTERS[k], 'gainDb': 0.0, 'mute': False,
               'eq': {'on': True, 'points': eq_points(15)}} for k in range(ins)]
    outputs = [{'output': j + 1, 'gainDb': 0.0, 'mute': False, 'polarity': 'normal',
                'delay': {'ms': 0.0, 'samples': 0}, 'routing': [LETTERS[j % ins]],
                'limiter': {'thresholdDb': 0.0, 'attackMs': 5, 'releaseMs': 100},
                'eq': {'on': True, 'points': eq_points(10)},
                'highPass': {'shape': 'butterworth-24', 'frequencyHz': 'off'},
                'lowPass': {'shape': 'butterworth-24', 'frequencyHz': 'off'}}
               for j in range(outs)]
    return {'format': 'quellmar-preset', 'version': 1, 'model': model, 'name': name,
            'used': True, 'date': '2026-6-12', 'inputs': inputs, 'outputs': outputs}


def parse_path(path):
    keys = []
    for part in path.split('.'):
        name, _, index = part.partition('[')
        keys.append(name)
        if index:
            keys.append(int(index.rstrip(']')))
    return keys


def stepped(value, lo, hi, step, what):
    if isinstance(value, bool) or not isinstance(value, (int, float)):
        raise Refused(f'{what}: not a number')
    if value < lo or value > hi:
        raise Refused(f'{what}: {value} is outside {lo} .. {hi}')
    return round(round((value - lo) / step) * step + lo, 3)


def frequency(value, what):
    if value == 'off':
        return 'off'
    if isinstance(value, bool) or not isinstance(value, (int, float)) or value <= 0:
        raise Refused(f'{what}: not a frequency')
    f = min(21513.0, max(19.8, float(value)))
    return float(f'{f:.3g}') if f < 1000 else float(round(f))


def check_point(p, what):
    if not isinstance(p, dict) or set(p) != {'type', 'frequencyHz', 'gainDb', 'q'}:
        raise Refused(f'{what}: not an EQ point')
    if p['type'] not in ('peak', 'low-shelf', 'high-shelf'):
        raise Refused(f'{what}.type: unknown type')
    return {'type': p['type'], 'frequencyHz': frequency(p['frequencyHz'], what),
            'gainDb': stepped(p['gainDb'], -24, 12, 0.2, what + '.gainDb'),
            'q': stepped(p['q'], 0.2, 36, 0.2, what + '.q')}


def checked(keys, value, what):
    """The value the unit would hold for a set of this path, or Refused."""
    last = keys[-1]
    if last == 'gainDb' and keys[-3] == 'points':
        return stepped(value, -24, 12, 0.2, what)
    if last == 'gainDb':
        return stepped(value, -50, 12, 0.5, what)
    if last in ('mute', 'on'):
        if not isinstance(value, bool):
            raise Refused(f'{what}: not true or false')
        return value
    if last == 'polarity':
        if value not in ('normal', 'inverted'):
            raise Refused(f'{what}: not normal or inverted')
        return value
    if last == 'thresholdDb':
        return stepped(value, -10, 20, 0.5, what)
    if last in ('attackMs', 'releaseMs'):
        times = ATTACK if last == 'attackMs' else RELEASE
        stepped(value, 0, 10000, 1e-9, what)
        return min(times, key=lambda t: abs(t - value))
    if last == 'ms':
        samples = round(stepped(value, 0, 682.0, 1e-9, what) / MS_PER_SAMPLE)
        return round(min(samples, 32736) * MS_PER_SAMPLE, 3)
    if last == 'frequencyHz':
        return frequency(value, what)
    if last == 'q':
        return stepped(value, 0.2, 36, 0.2, what)
    if last == 'shape':
        if value not in SHAPES:
            raise Refused(f'{what}: unknown shape')
        return value
    if last == 'type':
        if value not in ('peak', 'low-shelf', 'high-shelf'):
            raise Refused(f'{what}: unknown type')
        return value
    if isinstance(last, int) and keys[-2] == 'points':
        return check_point(value, what)
    raise Refused(f'{what}: cannot be set')


def biquad_db(p, f, rate=48000.0):
    a = 10 ** (p['gainDb'] / 40)
    w0 = 2 * math.pi * p['frequencyHz'] / rate
    alpha = math.sin(w0) / (2 * p['q'])
    c = math.cos(w0)
    if p['type'] == 'peak':
        b, d = (1 + alpha * a, -2 * c, 1 - alpha * a), (1 + alpha / a, -2 * c, 1 - alpha / a)
    else:
        s = 2 * math.sqrt(a) * alpha
        sign = 1 if p['type'] == 'low-shelf' else -1
        b = (a * ((a + 1) - sign * (a - 1) * c + s), sign * 2 * a * ((a - 1) - sign * (a + 1) * c),
             a * ((a + 1) - sign * (a - 1) * c - s))
        d = ((a + 1) + sign * (a - 1) * c + s, -sign * 2 * ((a - 1) + sign * (a + 1) * c),
             (a + 1) + sign * (a - 1) * c - s)
    z = complex(math.cos(2 * math.pi * f / rate), -math.sin(2 * math.pi * f / rate))
    h = (b[0] + b[1] * z + b[2] * z * z) / (d[0] + d[1] * z + d[2] * z * z)
    return 20 * math.log10(max(abs(h), 1e-9))


def crossover_db(flt, f, high):
    if flt['frequencyHz'] == 'off':
        return 0.0
    order = int(flt['shape'].rsplit('-', 1)[1]) // 6
    ratio = flt['frequencyHz'] / f if high else f / flt['frequencyHz']
    return -10 * math.log10(1 + ratio ** (2 * order))


def curve(channel):
    """A response to draw; the program's own curve code stands behind the real server."""
    out = []
    for f in CURVE_HZ:
        db = sum(biquad_db(p, f) for p in channel['eq']['points']) if channel['eq']['on'] else 0
        if 'highPass' in channel:
            db += crossover_db(channel['highPass'], f, True)
            db += crossover_db(channel['lowPass'], f, False)
        out.append(round(db, 2))
    return out


class Unit:
    def __init__(self, uid, model, name, address):
        self.info = {'id': uid, 'model': model, 'name': name, 'transport': 'udp',
                     'address': address, 'state': 'online', 'engineering': False, 'busy': False}
        self.preset = preset(model, name)
        self.revision = 1

    def key(self, channel):
        return (f"in:{LETTERS[channel[1]]}" if channel[0] == 'inputs' else f"out:{channel[1] + 1}")

    def curves(self, only=None):
        chans = [('inputs', k) for k in range(len(self.preset['inputs']))]
        chans += [('outputs', j) for j in range(len(self.preset['outputs']))]
        return {self.key(c): curve(self.preset[c[0]][c[1]]) for c in chans
                if only is None or c == only}

    def set(self, path, value):
        keys = parse_path(path)
        if len(keys) < 3 or keys[0] not in ('inputs', 'outputs') or not isinstance(keys[1], int):
            raise Refused(f'{path}: not a setting of a channel')
        target = self.preset
        try:
            for k in keys[:-1]:
                target = target[k]
            target[keys[-1]]
        except (KeyError, IndexError, TypeError):
            raise Refused(f'{path}: no such setting')
        held = checked(keys, value, path)
        target[keys[-1]] = held
        if keys[-1] == 'ms':
            target['samples'] = round(held / MS_PER_SAMPLE)
        self.revision += 1
        return held, self.curves((keys[0], keys[1]))

    def get(self, path):
        v = self.preset
        for k in parse_path(path):
            v = v[k]
        return v
