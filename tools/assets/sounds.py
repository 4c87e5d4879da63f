"""Music loops and sound effects of the sound table, synthesised here.

Tracks are short chiptune pieces (square lead, triangle bass, noise drums)
written as 16 kHz mono and encoded with oggenc at its lowest quality, which
keeps the whole set small. A track that loops back to a point (the game
jumps to it shortly before the end) is built as an intro of whole beats
lasting exactly that long, followed by the looping part.
"""
import os
import subprocess
import tempfile
import wave

import numpy as np

RATE = 16000

SCALES = {
    "major": [0, 2, 4, 5, 7, 9, 11],
    "minor": [0, 2, 3, 5, 7, 8, 10],
    "harmonic": [0, 2, 3, 5, 7, 8, 11],
    "penta": [0, 2, 4, 7, 9],
    "whole": [0, 2, 4, 6, 8, 10],
}

# name: (loop-to ms, intro beats, looping beats, beat ms when not looping,
#        scale, root midi note, drums, seed)
TRACKS = {
    "testSong": (0, 16, 0, 500, "major", 60, True, 1),
    "testMusicShort": (760, 2, 4, 0, "penta", 64, False, 2),
    "tempOverworld": (5337, 8, 8, 0, "major", 62, True, 3),
    "tempEvent": (2397, 4, 8, 0, "minor", 57, False, 4),
    "tempBattle": (13197, 40, 8, 0, "harmonic", 57, True, 5),
    "tempCave": (0, 12, 0, 600, "minor", 50, False, 6),
    "eventForeboding": (0, 8, 0, 700, "harmonic", 45, False, 7),
    "eventSilly": (0, 12, 0, 400, "whole", 67, True, 8),
    "eventHappy": (1076, 2, 8, 0, "penta", 67, True, 9),
    "eventDivine": (0, 8, 0, 650, "major", 72, False, 10),
    "themeBattle": (5828, 16, 8, 0, "minor", 55, True, 11),
    "themeTown": (0, 16, 0, 450, "penta", 60, True, 12),
    "themeBoss": (0, 16, 0, 380, "harmonic", 48, True, 13),
}


def freq(midi):
    return 440.0 * 2 ** ((midi - 69) / 12.0)


def tone(f, dur, kind="square", vol=0.2, decay=3.0):
    n = int(dur * RATE)
    t = np.arange(n) / RATE
    phase = (t * f) % 1.0
    if kind == "square":
        w = np.where(phase < 0.5, 1.0, -1.0)
    elif kind == "triangle":
        w = 4 * np.abs(phase - 0.5) - 1
    else:
        w = np.sin(2 * np.pi * phase)
    env = np.exp(-decay * t) * np.minimum(1, t * 200) * np.minimum(1, (dur - t) * 200)
    return w * env * vol


def noise(rng, dur, vol=0.2, decay=30.0):
    n = int(dur * RATE)
    t = np.arange(n) / RATE
    return rng.uniform(-1, 1, n) * np.exp(-decay * t) * vol


def mix(buf, sig, at):
    i = int(at * RATE)
    j = min(len(buf), i + len(sig))
    if i < len(buf):
        buf[i:j] += sig[:j - i]


def compose(loop_ms, intro, looping, beat_ms, scale, root, drums, seed):
    rng = np.random.default_rng(seed)
    beat = (loop_ms / intro if loop_ms else beat_ms) / 1000.0
    beats = intro + looping
    buf = np.zeros(int(beats * beat * RATE) + 1)
    steps = SCALES[scale]
    chords = [0, 4, 5, 3] if scale in ("major", "penta") else [0, 5, 3, 4]
    degree = 0
    for b in range(beats):
        chord = chords[(b // 4) % len(chords)]
        # bass on every beat, root of the bar's chord
        bass_note = root - 12 + steps[chord % len(steps)]
        mix(buf, tone(freq(bass_note), beat * 0.9, "triangle", 0.25, 2.0), b * beat)
        # two melody notes per beat, wandering stepwise around chord tones
        for half in range(2):
            if rng.random() < 0.15:
                continue
            degree += int(rng.choice([-2, -1, -1, 0, 1, 1, 2]))
            degree = max(-2, min(9, degree))
            if half == 0 and rng.random() < 0.5:
                degree = chord + int(rng.choice([0, 2, 4]))
            octave, idx = divmod(degree, len(steps))
            note = root + 12 * octave + steps[idx]
            mix(buf, tone(freq(note), beat * 0.45, "square", 0.09, 4.0), b * beat + half * beat / 2)
        if drums:
            mix(buf, tone(55, 0.12, "sine", 0.5, 25.0), b * beat) if b % 2 == 0 else \
                mix(buf, noise(rng, 0.1, 0.18, 25.0), b * beat)
            mix(buf, noise(rng, 0.03, 0.05, 80.0), b * beat + beat / 2)
    return buf


def sweep(f0, f1, dur, kind="sine", vol=0.3):
    n = int(dur * RATE)
    t = np.arange(n) / RATE
    f = f0 + (f1 - f0) * t / dur
    ph = np.cumsum(f) / RATE
    w = np.sin(2 * np.pi * ph) if kind == "sine" else np.where(ph % 1 < 0.5, 1.0, -1.0)
    return w * vol * np.minimum(1, (dur - t) * 50)


def lowpass(sig, k):
    return np.convolve(sig, np.ones(k) / k, mode="same")


def effects():
    rng = np.random.default_rng(99)
    fx = {}
    fx["testSoundShort"] = tone(880, 0.15, "square", 0.2, 20)
    long = np.zeros(int(1.5 * RATE))
    for i, n in enumerate([60, 64, 67, 72]):
        mix(long, tone(freq(n), 1.5 - i * 0.1, "triangle", 0.15, 2.0), i * 0.1)
    fx["testSoundLong"] = long
    fx["SFX/stepSoft"] = lowpass(noise(rng, 0.08, 0.4, 50), 12)
    fx["SFX/stepHard"] = lowpass(noise(rng, 0.06, 0.5, 70), 4) + tone(120, 0.06, "sine", 0.3, 60)
    fx["SFX/text"] = tone(1200, 0.04, "square", 0.12, 40)
    fx["SFX/swing"] = lowpass(noise(rng, 0.25, 0.5, 10), 6) * np.sin(np.linspace(0, np.pi, int(0.25 * RATE)))
    fx["SFX/thud"] = tone(70, 0.3, "sine", 0.6, 14) + lowpass(noise(rng, 0.3, 0.2, 30), 20)
    fx["SFX/punch"] = tone(150, 0.15, "sine", 0.5, 30) + lowpass(noise(rng, 0.15, 0.4, 35), 3)
    crackle = lowpass(noise(rng, 0.6, 0.4, 4), 5) * (rng.random(int(0.6 * RATE)) < 0.3)
    fx["SFX/flame"] = crackle + lowpass(noise(rng, 0.6, 0.2, 5), 30)
    fx["SFX/flameStrike"] = sweep(900, 150, 0.7, "square", 0.12) + lowpass(noise(rng, 0.7, 0.35, 4), 8)
    portal = np.zeros(int(0.9 * RATE))
    for i, n in enumerate([60, 64, 67, 72, 76, 79, 84]):
        mix(portal, tone(freq(n), 0.3, "sine", 0.2, 8), i * 0.08)
    fx["SFX/portal"] = portal
    run = np.zeros(int(0.8 * RATE))
    for i in range(4):
        mix(run, lowpass(noise(rng, 0.06, 0.5, 60), 6), i * 0.2)
    fx["tempRunSound"] = run
    fx["silence"] = np.zeros(RATE)
    return fx


def encode(samples, path):
    samples = np.clip(samples, -1, 1)
    with tempfile.NamedTemporaryFile(suffix=".wav", delete=False) as tmp:
        wav = tmp.name
    with wave.open(wav, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes((samples * 32000).astype("<i2").tobytes())
    # a fixed stream serial keeps the output identical from run to run
    subprocess.run(["oggenc", "-Q", "-q", "-1", "--serial", "1", "-o", path, wav], check=True)
    os.unlink(wav)


def build(sound_dir):
    os.makedirs(os.path.join(sound_dir, "SFX"), exist_ok=True)
    for name, params in TRACKS.items():
        encode(compose(*params), os.path.join(sound_dir, name + ".ogg"))
    for name, samples in effects().items():
        encode(samples, os.path.join(sound_dir, name + ".ogg"))


if __name__ == "__main__":
    import sys
    build(sys.argv[1] if len(sys.argv) > 1 else "sound")
