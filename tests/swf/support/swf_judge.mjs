// Judges an SWF file from outside with the swf-parser package: checks the header's length
// against the inflated body itself, fails on tags the parser could not decode (raw tags), and
// prints the same one-line-per-tag summary as the tests' own reader, so the two can be compared.
// Exit 0 with the summary, 1 with a reason, 77 when swf-parser is not installed.
import fs from "fs";
import zlib from "zlib";

let parseSwf;
try {
  ({ parseSwf } = await import("swf-parser"));
} catch (e) {
  console.error("swf-parser is not installed: " + e.message);
  process.exit(77);
}

function fail(message) {
  console.error(message);
  process.exit(1);
}

const bytes = fs.readFileSync(process.argv[2]);
const signature = bytes.toString("latin1", 0, 3);
const declared = bytes.readUInt32LE(4);
let bodyLength;
if (signature === "CWS") bodyLength = zlib.inflateSync(bytes.subarray(8)).length;
else if (signature === "FWS") bodyLength = bytes.length - 8;
else fail("not an SWF file: " + signature);
if (declared !== 8 + bodyLength) fail(`the header says ${declared} bytes, the file has ${8 + bodyLength}`);

let movie;
try {
  movie = parseSwf(bytes);
} catch (e) {
  fail("swf-parser failed: " + e.message);
}

const RAW = 52, RAW_BODY = 53;
const lines = [];
const h = movie.header;
lines.push(`version ${h.swfVersion}`);
lines.push(`size ${h.frameSize.xMin} ${h.frameSize.xMax} ${h.frameSize.yMin} ${h.frameSize.yMax}`);
lines.push(`rate ${h.frameRate.epsilons}`);
lines.push(`frames ${h.frameCount}`);

function summarise(tags, indent) {
  for (const t of tags) {
    switch (t.type) {
      case RAW:
      case RAW_BODY:
        fail(`a tag swf-parser could not decode (its type ${t.type})`);
        break;
      case 58: lines.push(indent + "show"); break;
      case 56: lines.push(indent + `background ${t.color.r} ${t.color.g} ${t.color.b}`); break;
      case 37: lines.push(indent + "attributes"); break;
      case 22: {
        const s = t.shape.initialStyles, b = t.bounds;
        lines.push(indent + `shape ${t.id} fills=${s.fill.length} lines=${s.line.length} bounds=${b.xMin},${b.xMax},${b.yMin},${b.yMax}`);
        break;
      }
      case 49: {
        let line = indent + (t.isUpdate ? "move" : "place") + ` depth=${t.depth}`;
        if (t.characterId !== undefined) line += ` char=${t.characterId}`;
        const m = t.matrix;
        if (m) line += ` matrix=${m.scaleX.epsilons},${m.rotateSkew0.epsilons},${m.rotateSkew1.epsilons},${m.scaleY.epsilons},${m.translateX},${m.translateY}`;
        const c = t.colorTransform;
        if (c) line += ` mult=${c.redMult.epsilons},${c.greenMult.epsilons},${c.blueMult.epsilons},${c.alphaMult.epsilons}`;
        lines.push(line);
        break;
      }
      case 54: lines.push(indent + `remove depth=${t.depth}`); break;
      case 24:
        lines.push(indent + `sprite ${t.id} frames=${t.frameCount}`);
        summarise(t.tags, indent + "  ");
        break;
      case 38: lines.push(indent + `label ${t.name}`); break;
      case 5: lines.push(indent + `bitmap ${t.id} ${t.width}x${t.height}`); break;
      case 60: lines.push(indent + `soundhead samples=${t.streamSampleCount}`); break;
      case 59: lines.push(indent + `soundblock bytes=${t.data.length}`); break;
      default: lines.push(indent + `other type ${t.type}`);
    }
  }
}
summarise(movie.tags, "");
console.log(lines.join("\n"));
