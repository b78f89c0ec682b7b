// Puts the page together: page.html with the zip library, the WebAssembly
// module (its script, with the module inside it), the words and the page's
// script written into it, so that one file is the whole page.
//
//   node assemble.mjs page.html d88web.js OUT.html
import { readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const [template, module, out] = process.argv.slice(2);
const here = dirname(fileURLToPath(import.meta.url));
const script = (path) => {
  // Nothing inside may close the script element early.
  const text = readFileSync(path, 'utf8').replaceAll('</script', '<\\/script');
  return `<script>\n${text}\n</script>`;
};
const parts = {
  '<!-- fflate -->': script(join(here, 'node_modules/fflate/umd/index.js')),
  '<!-- d88web -->': script(module),
  '<!-- words -->': script(join(here, 'words.js')),
  '<!-- app -->': script(join(here, 'app.js')),
};
let page = readFileSync(template, 'utf8');
for (const [marker, text] of Object.entries(parts)) {
  if (!page.includes(marker)) throw new Error(`${template} has no ${marker}`);
  page = page.replace(marker, () => text);
}
writeFileSync(out, page);
console.log(`${out}: ${page.length} bytes`);
