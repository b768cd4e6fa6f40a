// Checks HAR files against the published HAR 1.2 JSON schema (npm "har-schema", the
// schema HAR validators use), with formats (date-time, uri, ipv4/ipv6) checked too.
// Usage: node validate_har.js FILE...   Exit status 1 when any file is not valid.
'use strict';

const fs = require('fs');
const Ajv = require('ajv');
const schemas = require('har-schema');

const ajv = new Ajv({ allErrors: true });
ajv.addMetaSchema(require('ajv/lib/refs/json-schema-draft-06.json'));
ajv.addSchema(Object.values(schemas));
const validate = ajv.getSchema('har.json#');

let invalid = 0;
for (const file of process.argv.slice(2)) {
  const har = JSON.parse(fs.readFileSync(file, 'utf8'));
  if (validate(har)) {
    console.log(`${file}: valid HAR ${har.log.version}, ${har.log.entries.length} entries`);
  } else {
    invalid += 1;
    console.error(`${file}: not valid HAR`);
    for (const error of validate.errors) console.error(`  ${error.dataPath} ${error.message}`);
  }
}
process.exit(invalid === 0 ? 0 : 1);
