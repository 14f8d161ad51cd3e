#!/usr/bin/env python3
"""Writes FM-stereo multiplex test files for mpxcheck's tests.

An independent model of the ITU-R BS.450 pilot-tone system, written with numpy and a hand-made
RIFF writer, so that mpxcheck is tested on files that no C++ code of this project wrote:

    composite = audio_share * [(L+R)/2 + gain * (L-R)/2 * sin(2*w_p*t + phase)]
                + pilot_level * sin(w_p*t) + residual * sin(2*w_p*t + phase)

with the subcarrier locked to twice the pilot frequency, as in every stereo coder.
"""
import argparse
import struct
import sys

import numpy as np

PCM_TAG = 0x0001
FLOAT_TAG = 0x0003
EXTENSIBLE_TAG = 0xFFFE
# KSDATAFORMAT_SUBTYPE_PCM / _IEEE_FLOAT: the format tag followed by the fixed GUID tail.
GUID_TAIL = bytes.fromhex("000000001000800000aa00389b71")


def tone_channels(args, t):
    """Left and right audio for the chosen mode: L, R, M (both), A (antiphase) or none."""
    tone = args.level * np.sin(2 * np.pi * args.tone_hz * t)
    zero = np.zeros_like(t)
    return {
        "L": (tone, zero),
        "R": (zero, tone),
        "M": (tone, tone),
        "A": (tone, -tone),
        "none": (zero, zero),
    }[args.mode]


def signal_channels(args, t):
    """The file's channels as floats, 1.0 = full scale."""
    pilot_w = 2 * np.pi * args.pilot_hz * t
    carrier = np.sin(2 * pilot_w + np.deg2rad(args.phase_deg))
    if args.layout == "calibration":
        return [args.calibration_level * carrier, args.calibration_level * np.sin(pilot_w)]
    if args.layout == "plain-tone":
        return [args.level * np.sin(2 * np.pi * args.tone_hz * t)] * args.channels
    if args.layout == "silence":
        return [np.zeros_like(t)] * args.channels
    left, right = tone_channels(args, t)
    sum_signal = (left + right) / 2
    difference = (left - right) / 2
    composite = (args.audio_share * (sum_signal + args.diff_gain * difference * carrier)
                 + args.pilot_level * np.sin(pilot_w) + args.residual * carrier)
    if args.layout == "mono":
        return [composite]
    return [args.audio_share * sum_signal, composite]  # the sum beside the composite


def with_lead(args, channels, rate):
    """Pads the channels with silence, or with the pilot alone when --pilot-lead is given."""
    lead_in = int(round(args.lead_in * rate))
    lead_out = int(round(args.lead_out * rate))
    padded = []
    for index, channel in enumerate(channels):
        before = np.zeros(lead_in)
        after = np.zeros(lead_out)
        if args.pilot_lead and index == len(channels) - 1:
            n = np.arange(lead_in + len(channel) + lead_out)
            pilot = args.pilot_level * np.sin(2 * np.pi * args.pilot_hz * n / rate)
            before = pilot[:lead_in]
            after = pilot[lead_in + len(channel):]
        padded.append(np.concatenate([before, channel, after]))
    return padded


def quantise(channels, sample_format, rng):
    """Interleaved sample bytes; integers get triangular dither of +-1 LSB before rounding."""
    data = np.stack(channels, axis=1)
    if sample_format == "float":
        return data.astype("<f4").tobytes(), 32, FLOAT_TAG
    bits = {"pcm16": 16, "pcm24": 24, "pcm32": 32}[sample_format]
    scale = 2.0 ** (bits - 1)
    dither = rng.random(data.shape) - rng.random(data.shape)
    codes = np.clip(np.round(data * scale + dither), -scale, scale - 1).astype("<i8")
    if bits == 24:
        raw = codes.astype("<i4").view(np.uint8).reshape(-1, 4)[:, :3]
        return raw.tobytes(), 24, PCM_TAG
    return codes.astype("<i2" if bits == 16 else "<i4").tobytes(), bits, PCM_TAG


def fmt_chunk(container, tag, channels, rate, bits):
    block_align = channels * bits // 8
    base = struct.pack("<HHIIHH", tag, channels, rate, rate * block_align, block_align, bits)
    if container != "wavex":
        return b"fmt " + struct.pack("<I", len(base)) + base
    mask = (1 << channels) - 1
    extension = struct.pack("<HHI", 22, bits, mask) + struct.pack("<H", tag) + GUID_TAIL
    body = struct.pack("<HHIIHH", EXTENSIBLE_TAG, channels, rate, rate * block_align,
                       block_align, bits) + extension
    return b"fmt " + struct.pack("<I", len(body)) + body


def wave_bytes(container, fmt, data):
    pad = b"\0" if len(data) % 2 else b""
    if container == "rf64":
        riff_size = 4 + (8 + 28) + len(fmt) + 8 + len(data) + len(pad)
        ds64 = b"ds64" + struct.pack("<IQQQI", 28, riff_size, len(data), 0, 0)
        return (b"RF64" + struct.pack("<I", 0xFFFFFFFF) + b"WAVE" + ds64 + fmt + b"data"
                + struct.pack("<I", 0xFFFFFFFF) + data + pad)
    body = b"WAVE" + fmt + b"data" + struct.pack("<I", len(data)) + data + pad
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--out", required=True)
    p.add_argument("--layout", default="stereo",
                   choices=["stereo", "mono", "calibration", "plain-tone", "silence"])
    p.add_argument("--mode", default="L", choices=["L", "R", "M", "A", "none"])
    p.add_argument("--rate", type=int, default=192000)
    p.add_argument("--format", default="pcm24", choices=["pcm16", "pcm24", "pcm32", "float"])
    p.add_argument("--container", default="wav", choices=["wav", "wavex", "rf64"])
    p.add_argument("--seconds", type=float, default=1.5, help="length of the tone")
    p.add_argument("--lead-in", type=float, default=0.25)
    p.add_argument("--lead-out", type=float, default=0.25)
    p.add_argument("--pilot-lead", action="store_true", help="pilot alone before and after")
    p.add_argument("--tone-hz", type=float, default=1000.0)
    p.add_argument("--level", type=float, default=1.0, help="audio tone amplitude, 1 = full")
    p.add_argument("--audio-share", type=float, default=0.9)
    p.add_argument("--pilot-hz", type=float, default=19000.0)
    p.add_argument("--pilot-level", type=float, default=0.09)
    p.add_argument("--phase-deg", type=float, default=0.0, help="subcarrier phase error")
    p.add_argument("--diff-gain", type=float, default=1.0, help="difference signal gain")
    p.add_argument("--residual", type=float, default=0.0, help="unsuppressed 38 kHz carrier")
    p.add_argument("--calibration-level", type=float, default=0.5)
    p.add_argument("--channels", type=int, default=1, help="for plain-tone and silence")
    p.add_argument("--noise", type=float, default=0.0, help="white noise rms, 1 = full scale")
    p.add_argument("--truncate", type=float, default=1.0, help="keep this fraction of the file")
    p.add_argument("--seed", type=int, default=1)
    args = p.parse_args()

    rng = np.random.default_rng(args.seed)
    t = np.arange(int(round(args.seconds * args.rate))) / args.rate
    channels = with_lead(args, signal_channels(args, t), args.rate)
    if args.noise > 0:
        channels = [c + rng.normal(0.0, args.noise, len(c)) for c in channels]
    data, bits, tag = quantise(channels, args.format, rng)
    fmt = fmt_chunk(args.container, tag, len(channels), args.rate, bits)
    content = wave_bytes(args.container, fmt, data)
    content = content[:int(len(content) * args.truncate)]
    with open(args.out, "wb") as out:
        out.write(content)
    return 0


if __name__ == "__main__":
    sys.exit(main())
