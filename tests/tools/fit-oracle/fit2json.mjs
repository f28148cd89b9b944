// Test-only reference: decodes FIT files with the official FIT SDK for JavaScript and prints, for
// each file, a line {"file": name}, then one JSON line per record message in file order (time in
// ms since 1970, position in semicircles, altitude in m, heart rate, cadence, temperature, power;
// null where absent), then {"error": text} or {"end": true}.
// Usage: node fit2json.mjs FILE...
import { readFileSync } from "node:fs";
import { basename } from "node:path";
import { Decoder, Stream } from "@garmin/fitsdk";

const value = (v) => (v === undefined || v === null || Number.isNaN(v) ? null : v);
const lines = [];
for (const path of process.argv.slice(2)) {
    lines.push(JSON.stringify({ file: basename(path) }));
    let result;
    try {
        const decoder = new Decoder(Stream.fromBuffer(readFileSync(path)));
        result = decoder.read({ mergeHeartRates: false, convertTypesToStrings: false });
    } catch (error) {
        result = { messages: {}, errors: [error] };
    }
    for (const r of result.messages.recordMesgs ?? []) {
        lines.push(
            JSON.stringify({
                t: r.timestamp instanceof Date ? r.timestamp.getTime() : null,
                lat: value(r.positionLat),
                lon: value(r.positionLong),
                alt: value(r.enhancedAltitude ?? r.altitude),
                hr: value(r.heartRate),
                cad: value(r.cadence),
                temp: value(r.temperature),
                power: value(r.power),
            }),
        );
    }
    const error = result.errors?.[0];
    lines.push(JSON.stringify(error ? { error: String(error.message ?? error) } : { end: true }));
    if (lines.length > 10000) process.stdout.write(lines.splice(0).join("\n") + "\n");
}
process.stdout.write(lines.join("\n") + "\n");
