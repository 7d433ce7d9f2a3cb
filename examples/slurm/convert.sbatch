#!/bin/bash
# A Slurm job array that converts a list of pictures, one quarbel-batch shard per task:
#
#   sbatch --array=0-15 examples/slurm/convert.sbatch all.txt /shared/out /shared/logs --format WEBP
#
# all.txt names the sources (files or folders), one a line, on storage every node sees; the
# outputs go into /shared/out, and task i writes its report to /shared/logs/i.jsonl. Any
# further arguments go to quarbel-batch. The share of a task is its place in the array
# (--array=0-15 or 1-16 alike, the range without gaps), so every task, wherever it runs,
# takes its own share of the same list. Outputs are only ever whole files and existing ones
# are kept (--no-overwrite), so a task that was killed or requeued simply runs again and
# finishes the rest; examples/merge-reports then sums the reports up and lists the failures.
# QUARBEL_BATCH names the program when it is not on the nodes' PATH.
#
#SBATCH --job-name=quarbel-convert
#SBATCH --cpus-per-task=2
#SBATCH --output=quarbel-%A_%a.out
set -euo pipefail
if [ $# -lt 3 ]; then
  echo "usage: sbatch --array=0-N $0 LIST DEST LOGS [quarbel-batch options]" >&2
  exit 2
fi
list=$1 dest=$2 logs=$3
shift 3
index=$((SLURM_ARRAY_TASK_ID - SLURM_ARRAY_TASK_MIN))
count=$((SLURM_ARRAY_TASK_MAX - SLURM_ARRAY_TASK_MIN + 1))
exec "${QUARBEL_BATCH:-quarbel-batch}" convert --dest "$dest" --files-from "$list" \
  --shard "$index/$count" --jobs "${SLURM_CPUS_PER_TASK:-1}" --no-overwrite \
  --report "$logs/$index.jsonl" --quiet "$@"
